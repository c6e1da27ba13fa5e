// Window effects, the spinning logo's arithmetic, the stopwatch and the small
// window helpers (close box, Val).
#include "printlib/clsTimeIt.h"
#include "printlib/clsWndEffects.h"
#include "printlib/frmAnimatedLogo.h"
#include "tests/printlib/ui_support.h"

#include <QCloseEvent>
#include <QLineEdit>

using printlib::clsWndEffects;
using printlib::LibError;

namespace {

std::vector<int> seq(int from, int to, int step)
{
    std::vector<int> out;
    for (int v = from; step > 0 ? v <= to : v >= to; v += step)
        out.push_back(v);
    return out;
}

TEST(WndEffects, frameSizesOfShowAndHide)
{
    // A 400-pixel window in 5 tiles: tiles of 81, shrinking by 10 to 1.
    EXPECT_EQ(clsWndEffects::tileSize(400, 300, 5, 5), QSize(81, 61));
    EXPECT_EQ(clsWndEffects::frameSizes(81, 1, 10), seq(81, 1, -10));
    // Showing grows from 0 by the step, the last frame not above the tile.
    EXPECT_EQ(clsWndEffects::frameSizes(51, 0, 3), seq(0, 51, 3));
    EXPECT_EQ(clsWndEffects::frameSizes(50, 0, -3), seq(0, 48, 3)) << "the step's sign does not matter";
}

TEST(WndEffects, badShowOrHideOrZeroStepIsRefusedBeforeAnyFrame)
{
    QWidget w;
    w.resize(100, 80);
    struct Case {
        int showOrHide, step;
        const char* description;
    } cases[] = {
        {2, 3, "ShowOrHide argument must be 0 or 1"},
        {-1, 3, "ShowOrHide argument must be 0 or 1"},
        {1, 0, "Step_ argument must not be 0"},
        {0, 0, "Step_ argument must not be 0"},
    };
    for (const Case& c : cases) {
        for (int which = 0; which < 2; ++which) {
            clsWndEffects fx;
            try {
                if (which == 0)
                    fx.HideOrShowRect(&w, 5, 5, c.showOrHide, c.step);
                else
                    fx.HideOrShowRect2(&w, c.showOrHide, c.step);
                ADD_FAILURE() << "no error for " << c.showOrHide << "/" << c.step;
            } catch (const LibError& e) {
                EXPECT_EQ(e.Number, 5);
                EXPECT_EQ(e.Description, c.description);
            }
            EXPECT_EQ(fx.DeleteObj(), 0) << "no frame was made";
        }
    }
}

TEST(WndEffects, tileFramesCoverTheWindowAtFullSizeAndGrowFromTheCorners)
{
    const QRegion full = clsWndEffects::tileFrame(200, 100, 2, 2, 101);
    EXPECT_TRUE(full.contains(QRect(0, 0, 200, 100)));
    const QRegion small = clsWndEffects::tileFrame(200, 100, 2, 2, 3);
    // Tiles of 101 x 51: ratio 1.98, so 3 pixels wide are 2 high.
    EXPECT_EQ(small, QRegion(0, 0, 3, 2) + QRegion(101, 0, 3, 2) + QRegion(0, 51, 3, 2) + QRegion(101, 51, 3, 2));
    EXPECT_TRUE(clsWndEffects::tileFrame(200, 100, 2, 2, 0).isEmpty());
}

TEST(WndEffects, hideOnAWindowEndsWithTheRemainderTiles)
{
    QWidget w;
    w.setWindowFlags(Qt::FramelessWindowHint);
    w.resize(400, 300);
    w.show();
    clsWndEffects fx;
    fx.HideOrShowRect(&w, 5, 5, 1, 10);
    // 81 is not a multiple of 10: the last frame still has tiles of 1 pixel.
    EXPECT_EQ(fx.lastRegion().rectCount(), 25);
    EXPECT_EQ(fx.lastRegion().boundingRect().topLeft(), QPoint(0, 0));
    EXPECT_EQ(fx.DeleteObj(), 1);
    EXPECT_EQ(fx.DeleteObj(), 0);
}

TEST(WndEffects, regionFromPictureKeepsRunsToTheRightEdgeAndNeverSpansRows)
{
    QImage img(6, 3, QImage::Format_RGB32);
    img.fill(Qt::white); // the key colour is that of pixel (0, 0)
    img.setPixel(4, 0, qRgb(0, 0, 0));
    img.setPixel(5, 0, qRgb(0, 0, 0));
    img.setPixel(0, 1, qRgb(0, 0, 0)); // not the key: (0,0) stays white
    img.setPixel(2, 2, qRgb(255, 0, 0));
    const QRegion r = clsWndEffects::RegionFromPicture(img);
    EXPECT_EQ(r, QRegion(4, 0, 2, 1) + QRegion(0, 1, 1, 1) + QRegion(2, 2, 1, 1));
    for (const QRect& rect : r)
        EXPECT_EQ(rect.height(), 1);

    QImage blank(4, 4, QImage::Format_RGB32);
    blank.fill(Qt::blue);
    EXPECT_TRUE(clsWndEffects::RegionFromPicture(blank).isEmpty());
    QWidget w;
    w.setMask(QRegion(0, 0, 2, 2));
    clsWndEffects fx;
    fx.SetWndRgn(&w, blank);
    EXPECT_TRUE(w.mask().isEmpty()) << "an empty shape removes the window's shape";
}

TEST(WndEffects, transparencyAndTopmost)
{
    QWidget w;
    clsWndEffects fx;
    fx.MakeTransparent(nullptr, 10); // ignored
    fx.MakeTransparent(&w, 51);
    EXPECT_NEAR(w.windowOpacity(), 0.2, 0.01);
    fx.GetWindowOnTop(&w);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(WndEffects, captionFlightRunsFromTheFirstRectangleToTheLastAndLeavesNothingBehind)
{
    const QRect from(100, 50, 600, 400);
    const QRect to(900, 700, 200, 133);
    const auto frames = clsWndEffects::captionFrames(from, to, 20);
    ASSERT_EQ(frames.size(), size_t(clsWndEffects::kCaptionFrames));
    EXPECT_EQ(frames.front(), QRect(100, 50, 600, 20)) << "the top strip of the first rectangle";
    EXPECT_EQ(frames.back(), QRect(900, 700, 200, 20));
    for (size_t i = 1; i < frames.size(); ++i) {
        EXPECT_GT(frames[i].left(), frames[i - 1].left()) << i;
        EXPECT_LT(frames[i].width(), frames[i - 1].width()) << i;
    }
    // Into the empty corner rectangle: the bar shrinks to nothing there.
    const auto closing = clsWndEffects::captionFrames(to, QRect(0, 0, 0, 0), 20);
    EXPECT_TRUE(closing.back().isEmpty());
    EXPECT_EQ(closing.back().topLeft(), QPoint(0, 0));

    uitest::CaptionWatch watch;
    clsWndEffects::AnimateCaption(from, to, QStringLiteral("Nyomtatási kép"));
    ASSERT_GE(watch.seen.size(), 3u) << "the bar was on screen while it flew";
    EXPECT_EQ(watch.seen.front().topLeft(), from.topLeft());
    EXPECT_EQ(watch.seen.back().topLeft(), to.topLeft());
    EXPECT_EQ(watch.seen.back().width(), to.width());
    EXPECT_FALSE(uitest::CaptionWatch::leftBehind());
}

TEST(AnimatedLogo, phasesWrapAtPlusOrMinus360)
{
    int phase = 0;
    std::vector<int> seen;
    for (int i = 0; i < 37; ++i) {
        seen.push_back(phase);
        phase = printlib::frmAnimatedLogo::nextPhase(phase, -10);
    }
    EXPECT_EQ(seen[1], -10);
    EXPECT_EQ(seen[35], -350);
    EXPECT_EQ(seen[36], 0);
}

TEST(AnimatedLogo, composedColumnsOnlyDarkenTheBackground)
{
    QImage logo(165, 33, QImage::Format_RGB32);
    logo.fill(Qt::white);
    for (int y = 10; y < 20; ++y)
        for (int x = 20; x < 140; ++x)
            logo.setPixel(x, y, qRgb(0, 0, 0));
    QImage bg(165, 33, QImage::Format_RGB32);
    bg.fill(qRgb(200, 200, 200));
    const QImage out = printlib::frmAnimatedLogo::compose(bg, logo, 0, 0);
    bool dark = false;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = out.pixel(x, y);
            if (qRed(p) == 0)
                dark = true;
            EXPECT_TRUE(qRed(p) == 0 || qRed(p) == 200);
            if (qRed(p) == 0)
                EXPECT_LE(x, int(2 * 165 / 3.2) + 1) << "columns land in the first 62.5 %";
        }
    EXPECT_TRUE(dark);
}

TEST(AnimatedLogo, loadAndUnload)
{
    auto& logo = printlib::frmAnimatedLogo::instance();
    logo.LoadLogo(0, 0, -10, QPixmap(165, 33));
    EXPECT_TRUE(logo.running());
    EXPECT_FALSE(logo.blnWinVis) << "shown at the second tick at the earliest";
    logo.UnloadLogo();
    EXPECT_FALSE(logo.running());
    EXPECT_FALSE(logo.isVisible());
}

TEST(TimeIt, showsElapsedSecondsInAPlainBox)
{
    platform::ScriptedMsgBoxService svc;
    platform::setMsgBoxService(&svc);
    printlib::clsTimeIt watch;
    watch.Start();
    uitest::waitFor([] { return false; }, 30);
    watch.TimeIt();
    platform::setMsgBoxService(nullptr);
    ASSERT_EQ(svc.shown().size(), 1);
    const double shown = svc.shown().first().text.toDouble();
    EXPECT_GE(shown, 0.03);
    EXPECT_LT(shown, 5);
    EXPECT_EQ(svc.shown().first().buttons, platform::MsgButtons::Ok);
}

TEST(WindowHelpers, valReadsTheLeadingNumber)
{
    const std::pair<const char*, double> cases[] = {
        {"12", 12}, {" 7", 7}, {"3abc", 3}, {"", 0}, {"abc", 0}, {"-2", -2},
        {"2.5", 2.5}, {"1e3", 1000}, {"1,5", 1}, {".5", 0.5}, {"+4", 4},
    };
    for (auto [text, value] : cases)
        EXPECT_DOUBLE_EQ(printlib::Val(QString::fromUtf8(text)), value) << text;
    EXPECT_EQ(printlib::roundHalfEven(2.5), 2);
    EXPECT_EQ(printlib::roundHalfEven(3.5), 4);
    EXPECT_EQ(printlib::roundHalfEven(-0.5), 0);
}

TEST(WindowHelpers, disabledCloseBoxRefusesEveryCloseButTheWindowsOwn)
{
    QWidget w;
    w.show();
    printlib::DisableXButton(&w, true);
    EXPECT_TRUE(printlib::closeBoxDisabled(&w));
    EXPECT_FALSE(w.close()) << "the window manager's close is refused";
    EXPECT_TRUE(w.isVisible());
    uitest::key(&w, Qt::Key_F4, Qt::AltModifier);
    EXPECT_TRUE(w.isVisible());
    printlib::allowCloseByCode(&w);
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
}

TEST(WindowHelpers, selectAllOnFocus)
{
    QWidget w;
    auto* box = new QLineEdit("123", &w);
    auto* other = new QLineEdit(&w);
    printlib::selectAllOnFocus(box);
    w.show();
    other->setFocus();
    box->setCursorPosition(1);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(box, &in);
    EXPECT_EQ(box->selectedText(), "123");
}

} // namespace
