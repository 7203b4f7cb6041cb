// SPDX-License-Identifier: GPL-3.0-or-later
// Click to usable controls: with five USB serial adapters emulated by umockdev, how long a click
// on "COM1" takes, from the click to "Transfert" and the lists enabled. That click looks at the
// ports present, opens the first adapter and enables the controls. Run under umockdev-wrapper.
#include "adapterbed.h"
#include "form1.h"
#include "serialportlink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRadioButton>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double kTargetMs = 20.0; // median

double percentile(const std::vector<double> &sorted, double fraction)
{
    return sorted[std::min(sorted.size() - 1, size_t(fraction * double(sorted.size())))];
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (!AdapterBed::isPreloaded()) {
        std::fprintf(stderr, "benchportclick: run under umockdev-wrapper\n");
        return 1;
    }
    // umockdev's preload keeps a table of about 50 emulated descriptors for the whole process
    // and each window's click leaves one entry in it (no descriptor of ours stays open): 40
    // windows stay clear of its "fd_map_add(): overflow" abort.
    const int runs = std::clamp(argc > 1 ? std::atoi(argv[1]) : 40, 1, 40);

    AdapterBed bed;
    bed.plug(AdapterBed::Adapter::Ftdi, QStringLiteral("ttyUSB0"));
    bed.plug(AdapterBed::Adapter::Ch340, QStringLiteral("ttyUSB1"));
    bed.plug(AdapterBed::Adapter::Cp2102, QStringLiteral("ttyUSB2"));
    bed.plug(AdapterBed::Adapter::Pl2303, QStringLiteral("ttyUSB3"));
    bed.plug(AdapterBed::Adapter::ArduinoUno, QStringLiteral("ttyACM0"));

    std::vector<double> millis;
    for (int run = 0; run < runs; ++run) {
        SerialPortLink link; // no options: COM1 is the first port present at the click
        Form1 window(link);
        window.show();
        QCoreApplication::processEvents();
        auto *option1 = window.findChild<QRadioButton *>(QStringLiteral("Option1"));
        auto *transfer = window.findChild<QWidget *>(QStringLiteral("Command2"));
        QElapsedTimer clock;
        clock.start();
        option1->click(); // the handler runs to its end before click() returns
        const qint64 elapsed = clock.nsecsElapsed();
        if (!transfer->isEnabled()) {
            std::fprintf(stderr, "benchportclick: COM1 did not open\n");
            return 1;
        }
        millis.push_back(double(elapsed) / 1e6);
    }
    std::sort(millis.begin(), millis.end());
    const double median = percentile(millis, 0.5);
    std::printf("click on COM1 with 5 adapters to controls enabled, %d clicks: median %.2f ms, "
                "90th %.2f ms, min %.2f ms, max %.2f ms\n",
                runs, median, percentile(millis, 0.9), millis.front(), millis.back());
    std::printf("target: median at most %.0f ms: %s\n", kTargetMs,
                median <= kTargetMs ? "holds" : "MISSED");
    return 0;
}
