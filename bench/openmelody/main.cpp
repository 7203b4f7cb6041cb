// SPDX-License-Identifier: GPL-3.0-or-later
// benchopenmelody: a whole melody file opened in the window and sent into the board stand-in.
// Times each run from the click on "Envoyer" to the last frame having left the line, against the
// frames' own time plus the gaps; and how long the window takes to answer a click while it
// sends. Prints the figures and exits 0 whatever they are.
#include "form1.h"
#include "serialportlink.h"
#include "summary.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int kNotes = 22; // examples/au-clair-de-la-lune.csv
constexpr double kGapMs = 50;
constexpr double kMarginPercent = 5;
constexpr double kClickTargetMs = 50;
constexpr int kClickEveryMs = 20;

struct RunFigures {
    double sendMs = 0;
    std::vector<double> clickMs;
};

// Times the posted clicks from posting to the dialog getting them.
class ClickWatch : public QObject {
public:
    std::vector<double> latencies;
    std::optional<qint64> postedAt;
    QElapsedTimer *clock = nullptr;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress && postedAt)
            latencies.push_back(double(clock->nsecsElapsed() - *std::exchange(postedAt, {})) / 1e6);
        return false;
    }
};

std::optional<RunFigures> runOnce(const QString &device, const QString &melody,
                                  const QTemporaryDir &dir)
{
    const QString linkPath = dir.filePath(QStringLiteral("com1"));
    QProcess board;
    board.start(device, {QStringLiteral("--link"), linkPath});
    if (!board.waitForReadyRead(5000) || !QFile::exists(linkPath))
        return std::nullopt;

    PortMap ports;
    ports.setDevicePath(1, linkPath);
    SerialPortLink link(ports);
    Form1 window(link, ports);
    window.show();
    window.findChild<QAbstractButton *>(QStringLiteral("Option1"))->click();
    auto *text1 = window.findChild<QLineEdit *>(QStringLiteral("Text1"));

    QElapsedTimer clock;
    qint64 sentAt = 0;
    bool lastWritten = false;
    QObject::connect(text1, &QLineEdit::textChanged, [&](const QString &text) {
        lastWritten = text.endsWith(QStringLiteral(" %1").arg(kNotes));
    });
    QObject::connect(&link, &SerialLink::drained, [&] {
        if (lastWritten && sentAt == 0)
            sentAt = clock.nsecsElapsed();
    });

    ClickWatch watch;
    watch.clock = &clock;
    QTimer poke; // the question, then clicks on the progress dialog while it sends
    poke.callOnTimeout([&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            for (QAbstractButton *button : box->buttons()) {
                if (button->text() == u"Envoyer") {
                    clock.start();
                    button->click();
                }
            }
        } else if (modal && modal->objectName() == u"melodyProgress" && sentAt == 0) {
            if (modal->property("watched").isNull()) {
                modal->installEventFilter(&watch);
                modal->setProperty("watched", true);
            }
            if (!watch.postedAt) {
                watch.postedAt = clock.nsecsElapsed();
                const QPointF at(2, 2);
                QCoreApplication::postEvent(
                    modal, new QMouseEvent(QEvent::MouseButtonPress, at, modal->mapToGlobal(at),
                                           Qt::LeftButton, Qt::LeftButton, {}));
            }
        }
    });
    poke.start(kClickEveryMs);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(melody)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::NoButton, {});
    QApplication::sendEvent(&window, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::NoButton, {});
    QApplication::sendEvent(&window, &drop);

    QElapsedTimer bound;
    bound.start();
    while (sentAt == 0 && bound.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    poke.stop();
    window.closePorts();
    board.terminate();
    if (!board.waitForFinished(10000))
        board.kill();
    const int frames = int(board.readAllStandardOutput().count("\nNote "));
    if (sentAt == 0 || frames != kNotes)
        return std::nullopt;
    return RunFigures{double(sentAt) / 1e6, watch.latencies};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption device(QStringLiteral("device"), QStringLiteral("tinkora-device"),
                                    QStringLiteral("PATH"));
    const QCommandLineOption melody(QStringLiteral("melody"),
                                    QStringLiteral("examples/au-clair-de-la-lune.csv"),
                                    QStringLiteral("PATH"));
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("Runs."),
                                  QStringLiteral("N"), QStringLiteral("5"));
    parser.addOptions({device, melody, runs});
    parser.process(app);
    if (!parser.isSet(device) || !parser.isSet(melody)) {
        std::fprintf(stderr, "usage: benchopenmelody --device PATH --melody PATH [--runs N]\n");
        return 2;
    }

    QTemporaryDir dir;
    std::vector<double> sends;
    std::vector<double> clicks;
    int failed = 0;
    for (int run = 0; run < std::max(1, parser.value(runs).toInt()); ++run) {
        const std::optional<RunFigures> figures =
            runOnce(parser.value(device), parser.value(melody), dir);
        if (!figures) {
            ++failed;
            continue;
        }
        sends.push_back(figures->sendMs);
        clicks.insert(clicks.end(), figures->clickMs.begin(), figures->clickMs.end());
    }

    // A pseudo-terminal takes a frame at once: the frames' own time on it is nothing, and the
    // line's time is the gaps' (at 2400 baud a frame would add 12.5 ms).
    const double expectedMs = (kNotes - 1) * kGapMs;
    const Summary send(sends);
    const Summary click(clicks);
    std::printf("window, %d notes from a file into tinkora-device      median       min       max  "
                "(ms)\n",
                kNotes);
    std::printf("%-48s %9.2f %9.2f %9.2f   (%zu runs, %d failed)\n",
                "\"Envoyer\" to the last frame on the line", send.median(), send.min(), send.max(),
                send.count(), failed);
    std::printf("%-48s %9.2f %9.2f %9.2f   (%zu clicks)\n", "a click answered while sending",
                click.median(), click.min(), click.max(), click.count());
    std::printf("target: a median within %.0f %% of the frames' own time plus the %d gaps (%.0f ms "
                "on a pseudo-terminal): %+.1f %%, %s\n",
                kMarginPercent, kNotes - 1, expectedMs,
                send.empty() ? 0.0 : (send.median() / expectedMs - 1) * 100,
                !send.empty() && failed == 0 &&
                        send.median() <= expectedMs * (1 + kMarginPercent / 100)
                    ? "holds"
                    : "MISSED");
    std::printf("target: every click answered within %.0f ms while sending: %s\n", kClickTargetMs,
                !click.empty() && click.max() <= kClickTargetMs ? "holds" : "MISSED");
    return 0;
}
