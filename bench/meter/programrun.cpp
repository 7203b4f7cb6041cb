// SPDX-License-Identifier: GPL-3.0-or-later
#include "programrun.h"

#include "childprocess.h"
#include "ptypair.h"

using namespace std::chrono_literals;

namespace {

// Points inside the window's controls, from its fixed layout.
struct Point {
    int x;
    int y;
};
constexpr Point kCom1{30, 16};
constexpr Point kTempo{60, 90};
constexpr Point kNotes{60, 130};
constexpr Point kDuree{220, 130};
constexpr Point kTransfert{96, 204};

// Anywhere the window never is: the pointer waits there so that no hover effect runs while a
// program starts.
constexpr Point kAside{1200, 1000};

constexpr auto kStartLimit = 10s;
constexpr std::size_t kFrameBytes = 3;

Point on(const Rect &window, Point point)
{
    return {window.x + point.x, window.y + point.y};
}

} // namespace

ProgramRun::ProgramRun(XSession &screen, int outputFd)
    : m_screen(screen)
    , m_outputFd(outputFd)
{
}

std::optional<RunFigures> ProgramRun::run(const std::string &program, int clicks,
                                          std::string &error)
{
    m_screen.movePointer(kAside.x, kAside.y);
    m_screen.settle(50ms, 2s); // what the previous run left on screen

    const PtyPair line;
    if (!line.isValid()) {
        error = "no pseudo-terminal";
        return std::nullopt;
    }
    const std::unique_ptr<ChildProcess> child = ChildProcess::start(
        {program, "--com1", line.slavePath()}, {"QT_QPA_PLATFORM=xcb"}, m_outputFd, error);
    if (!child)
        return std::nullopt;

    RunFigures figures;
    const std::optional<Rect> window = waitForFirstFrame(*child, figures, error);
    if (!window || !readMemory(*child, figures, error))
        return std::nullopt;
    if (clicks > 0 &&
        (!fillInTheChoices(*window, error) || !timeClicks(line, clicks, figures, error)))
        return std::nullopt;
    return figures;
}

std::optional<Rect> ProgramRun::waitForFirstFrame(ChildProcess &child, RunFigures &figures,
                                                  std::string &error)
{
    // Map, then damage until every pixel of the window has been drawn once.
    std::optional<Rect> window;
    Coverage drawn;
    const Clock::time_point giveUp = child.execAt() + kStartLimit;
    for (;;) {
        const std::optional<ScreenEvent> event = m_screen.next(Clock::now() + 100ms);
        if (!event) {
            if (child.hasExited()) {
                error = "the program ended before its first frame";
                return std::nullopt;
            }
            if (Clock::now() > giveUp) {
                error = window ? "the window was never drawn completely (" +
                                     std::to_string(drawn.uncovered()) + " pixels left)"
                               : "no window appeared";
                return std::nullopt;
            }
        } else if (event->kind == ScreenEvent::Kind::Mapped && !window) {
            window = event->area;
            drawn = Coverage(*window);
        } else if (event->kind == ScreenEvent::Kind::Damaged && window) {
            drawn.add(event->area);
            if (drawn.complete()) {
                figures.cpuMs = child.cpuMs().value_or(0);
                figures.frameMs = millisecondsBetween(child.execAt(), event->at);
                return window;
            }
        }
    }
}

bool ProgramRun::readMemory(const ChildProcess &child, RunFigures &figures, std::string &error)
{
    m_screen.settle(200ms, 3s);
    const std::optional<MemoryFigures> memory = child.memory();
    if (!memory) {
        error = "cannot read the program's memory figures";
        return false;
    }
    figures.peakMiB = memory->peakMiB;
    figures.privateMiB = memory->privateMiB;
    return true;
}

bool ProgramRun::fillInTheChoices(const Rect &window, std::string &error)
{
    // The port opens first: only then are the lists usable.
    m_screen.click(on(window, kCom1).x, on(window, kCom1).y);
    const std::pair<Point, const char *> choices[] = {
        {kTempo, "120"}, {kNotes, "La3"}, {kDuree, "Noire"}};
    for (const auto &[place, text] : choices) {
        m_screen.click(on(window, place).x, on(window, place).y);
        if (!m_screen.replaceText(text)) {
            error = std::string("the keyboard map cannot type ") + text;
            return false;
        }
    }
    // The pointer stays on "Transfert" from now on, so no hover effect falls in a timed click.
    m_screen.movePointer(on(window, kTransfert).x, on(window, kTransfert).y);
    m_screen.settle(100ms, 3s);
    return true;
}

// The pointer already rests on "Transfert".
bool ProgramRun::timeClicks(const PtyPair &line, int clicks, RunFigures &figures,
                            std::string &error)
{
    for (int i = 0; i < clicks; ++i) {
        line.drain();
        // Pressed, and the pressed look painted, as under a finger that takes its time.
        m_screen.pressButton();
        m_screen.sync();
        m_screen.settle(30ms, 1s);
        const Clock::time_point released = Clock::now();
        m_screen.releaseButton();
        const std::optional<Clock::time_point> first = line.waitReadable(released + 2s);
        const std::string bytes = line.read(kFrameBytes, Clock::now() + 2s);
        if (!first || bytes.size() != kFrameBytes) {
            // A warning box in the way (a choice not taken, the port not open) sends nothing.
            error = "click " + std::to_string(i + 1) + " sent " + std::to_string(bytes.size()) +
                    " bytes, not 3";
            return false;
        }
        figures.clickMs.push_back(millisecondsBetween(released, *first));
        m_screen.settle(50ms, 2s);
    }
    return true;
}
