// The preview window driven headless: load state, zoom entries, paging keys,
// the goto check, scrolling keys, the information box and printing from it.
#include "printlib/frmAnimatedLogo.h"
#include "printlib/frmPreview.h"
#include "printlib/frmPrintDialog.h"
#include "tests/printlib/ui_support.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>

#include <algorithm>
#include <cmath>

using printlib::frmPreview;
using uitest::key;

namespace {

class PreviewTest : public uitest::LibraryWindowsTest {
protected:
    // Opens the preview of the current document and hands it to `act`.
    void preview(std::function<void(frmPreview&)> act)
    {
        shown = false;
        printlib::setModalDriver([&](QDialog& d) {
            if (auto* p = qobject_cast<frmPreview*>(&d)) {
                shown = true;
                act(*p);
            } else if (auto* dlg = qobject_cast<printlib::frmPrint*>(&d)) {
                onPrintDialog(*dlg);
            }
        });
        job().PreviewDoc(nullptr);
    }

    static QString status(frmPreview& p) { return p.txtStatus->text(); }
    static void zoom(frmPreview& p, int index)
    {
        p.cboZoom->setCurrentIndex(index);
        p.cboZoom_Click();
    }

    bool shown = false;
    std::function<void(printlib::frmPrint&)> onPrintDialog = [](printlib::frmPrint& d) { d.cmdCancel->click(); };
};

TEST_F(PreviewTest, opensOnTheFirstPageWholePageFitted)
{
    buildPages(3);
    preview([](frmPreview& p) {
        EXPECT_EQ(p.windowTitle(), "Nyomtatási kép");
        EXPECT_EQ(p.cboZoom->currentText(), "minden oldal");
        EXPECT_EQ(p.cboZoom->count(), 6);
        EXPECT_EQ(status(p), "1 / 3");
        EXPECT_FALSE(p.Buttons(1)->isEnabled());
        EXPECT_FALSE(p.Buttons(2)->isEnabled());
        EXPECT_TRUE(p.Buttons(4)->isEnabled());
        EXPECT_TRUE(p.Buttons(5)->isEnabled());
        EXPECT_EQ(p.drawCount(), 1);
        EXPECT_FALSE(p.HS->isEnabled());
        EXPECT_FALSE(p.VS->isEnabled());
        EXPECT_EQ(p.HS->maximum(), 0);
        // A portrait page in a wide window fits the height with 6 mm to spare.
        EXPECT_NEAR(p.pictureHeightMm(), p.containerHeightMm() - 6, 0.01);
        EXPECT_TRUE(printlib::closeBoxDisabled(&p));
        EXPECT_TRUE(printlib::comboHooked(p.cboZoom));
    });
    EXPECT_TRUE(shown);
}

TEST_F(PreviewTest, singlePageHasEveryNavigationButtonOff)
{
    buildPages(1);
    preview([this](frmPreview& p) {
        for (int i : {1, 2, 4, 5})
            EXPECT_FALSE(p.Buttons(i)->isEnabled()) << i;
        p.txtGoto->setText("5");
        key(p.txtGoto, Qt::Key_Return);
        EXPECT_TRUE(boxes.shown().isEmpty()) << "one page: a wrong number is ignored";
    });
}

TEST_F(PreviewTest, toolbarTipsSayWhatTheButtonsDoInHungarian)
{
    buildPages(2);
    preview([](frmPreview& p) {
        const std::vector<std::pair<int, QString>> tips = {
            {1, "Első oldal"},  {2, "Előző oldal"},      {4, "Következő oldal"}, {5, "Utolsó oldal"},
            {7, "Ugrás a megadott oldalra"}, {12, "Nyomtatás"}, {14, "Információ"}};
        for (const auto& [index, tip] : tips)
            EXPECT_EQ(p.Buttons(index)->toolTip(), tip) << index;
        // Every button of the toolbar has its tip, none of them left over.
        int withTips = 0;
        for (QAction* a : p.tbToolBar->actions())
            if (!a->toolTip().isEmpty() && a->data().isValid())
                ++withTips;
        EXPECT_EQ(withTips, int(tips.size()));
    });
}

TEST_F(PreviewTest, pagingKeysStopAtTheEnds)
{
    buildPages(3);
    preview([](frmPreview& p) {
        QWidget* target = p.txtGoto;
        key(target, Qt::Key_PageDown);
        EXPECT_EQ(status(p), "2 / 3");
        key(target, Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_EQ(status(p), "3 / 3");
        EXPECT_FALSE(p.Buttons(5)->isEnabled());
        key(target, Qt::Key_PageDown);
        key(target, Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_EQ(p.intCurPage, 3);
        key(target, Qt::Key_PageUp);
        EXPECT_EQ(p.intCurPage, 2);
        key(target, Qt::Key_PageUp, Qt::ControlModifier);
        EXPECT_EQ(p.intCurPage, 1);
        key(target, Qt::Key_PageUp);
        EXPECT_EQ(p.intCurPage, 1);
        // Toolbar buttons do the same.
        p.Buttons(5)->trigger();
        EXPECT_EQ(p.intCurPage, 3);
        p.Buttons(1)->trigger();
        EXPECT_EQ(p.intCurPage, 1);
    });
}

TEST_F(PreviewTest, gotoRefusesNumbersOutsideThePages)
{
    buildPages(10);
    preview([this](frmPreview& p) {
        for (const char* text : {"0", "999", "abc", "11"}) {
            boxes.clear();
            p.txtGoto->setText(text);
            key(p.txtGoto, Qt::Key_Return);
            ASSERT_EQ(boxes.shown().size(), 1) << text;
            EXPECT_EQ(boxes.shown().first().text, "Enter number between 1 and 10.");
            EXPECT_EQ(boxes.shown().first().title, "Attention");
            EXPECT_EQ(boxes.shown().first().icon, platform::MsgIcon::Exclamation);
            EXPECT_EQ(p.intCurPage, 1);
        }
        boxes.clear();
        p.txtGoto->setText("7");
        key(p.txtGoto, Qt::Key_Return);
        EXPECT_TRUE(boxes.shown().isEmpty());
        EXPECT_EQ(status(p), "7 / 10");
        EXPECT_EQ(p.txtGoto->selectedText(), "7");
    });
}

TEST_F(PreviewTest, zoomEntriesSizeThePictureAndRedrawOnlyOnChange)
{
    buildPages(2);
    preview([](frmPreview& p) {
        const double paperW = printlib::Job->Width();
        const double paperH = printlib::Job->Height();
        zoom(p, 0); // 100%
        EXPECT_NEAR(p.pictureWidthMm(), paperW, 0.01);
        EXPECT_NEAR(p.pictureHeightMm(), paperH, 0.01);
        const int draws = p.drawCount();
        zoom(p, 0);
        EXPECT_EQ(p.drawCount(), draws) << "the same entry again does not redraw";
        zoom(p, 2); // 50%
        EXPECT_NEAR(p.pictureWidthMm(), paperW / 2, 0.01);
        EXPECT_EQ(p.drawCount(), draws + 1);
        zoom(p, 4); // page width
        EXPECT_NEAR(p.pictureWidthMm(), p.containerWidthMm() - 6, 0.01);
        EXPECT_FALSE(p.HS->isEnabled()) << "page width fits across";
        EXPECT_TRUE(p.VS->isEnabled()) << "a tall page scrolls down";
        // Ctrl + keypad 1 selects the first entry.
        key(p.txtGoto, Qt::Key_1, Qt::ControlModifier | Qt::KeypadModifier);
        EXPECT_EQ(p.cboZoom->currentIndex(), 0);
        EXPECT_NEAR(p.pictureWidthMm(), paperW, 0.01);
    });
}

TEST_F(PreviewTest, zoomListIgnoresArrowKeys)
{
    buildPages(1);
    preview([](frmPreview& p) {
        key(p.cboZoom, Qt::Key_Up);
        key(p.cboZoom, Qt::Key_Home);
        key(p.cboZoom, Qt::Key_A);
        EXPECT_EQ(p.cboZoom->currentIndex(), 5);
    });
}

TEST_F(PreviewTest, arrowKeysMoveTheBarsByFourOrOneWithCtrl)
{
    buildPages(1);
    preview([](frmPreview& p) {
        zoom(p, 0);
        ASSERT_TRUE(p.VS->isEnabled());
        EXPECT_EQ(p.VS->value(), 50);
        const int top = p.picPage->y();
        key(p.txtGoto, Qt::Key_Up);
        EXPECT_EQ(p.VS->value(), 46);
        EXPECT_GT(p.picPage->y(), top) << "the picture follows the bar";
        key(p.txtGoto, Qt::Key_Up, Qt::ControlModifier);
        EXPECT_EQ(p.VS->value(), 45);
        key(p.txtGoto, Qt::Key_Home);
        EXPECT_EQ(p.VS->value(), 0);
        EXPECT_NEAR(p.picPage->y(), p.picContainer->height() / 2.0, 1) << "top edge on the centre line";
        key(p.txtGoto, Qt::Key_Up);
        EXPECT_EQ(p.VS->value(), 0);
        key(p.txtGoto, Qt::Key_End);
        EXPECT_EQ(p.VS->value(), 100);
        // Paging recentres the picture.
        zoom(p, 3);
        EXPECT_EQ(p.VS->maximum(), 0);
    });
}

TEST_F(PreviewTest, informationBoxDescribesThePageSetup)
{
    buildPages(1);
    job().setOrientation(1);
    job().setPageSize(9);
    preview([this](frmPreview& p) {
        zoom(p, 0);
        key(p.txtGoto, Qt::Key_I, Qt::ControlModifier);
    });
    ASSERT_EQ(boxes.shown().size(), 1);
    const platform::MsgBoxRequest& r = boxes.shown().first();
    EXPECT_EQ(r.title, "Information");
    EXPECT_EQ(r.icon, platform::MsgIcon::Information);
    const QStringList lines = r.text.split("\r\n");
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "Orientation:  Portrait");
    EXPECT_EQ(lines[1], "Page format:  A4");
    EXPECT_EQ(lines[2], "Size:  210 x 297 mm");
    EXPECT_EQ(lines[3], "Printable area:  200 x 287 mm") << "the recording printer keeps 5 mm from each edge";
    EXPECT_EQ(lines[4], "Zoom:  100%");
}

TEST_F(PreviewTest, escapeAndCloseButtonEndThePreviewAltF4DoesNot)
{
    buildPages(1);
    bool afterAltF4 = false;
    preview([&](frmPreview& p) {
        key(&p, Qt::Key_F4, Qt::AltModifier);
        EXPECT_FALSE(p.close());
        afterAltF4 = p.isVisible();
        key(p.txtGoto, Qt::Key_Escape);
        EXPECT_FALSE(p.isVisible());
    });
    EXPECT_TRUE(afterAltF4);
    preview([](frmPreview& p) {
        p.cmdClose->click();
        EXPECT_FALSE(p.isVisible());
    });
}

// "Bezár" flies the caption from the window to the lower right of the
// screen and on into its corner before the window closes; the preview and
// the flying bar are gone when the preview has returned.
TEST_F(PreviewTest, closingAnimatesTheCaptionThenClosesAndFreesTheWindow)
{
    buildPages(2);
    uitest::CaptionWatch watch;
    QRect window;
    QSize screen;
    preview([&](frmPreview& p) {
        window = p.frameGeometry();
        screen = p.screen()->geometry().size();
        EXPECT_TRUE(watch.seen.empty());
        p.cmdClose->click();
        EXPECT_FALSE(p.isVisible());
    });
    ASSERT_GE(watch.seen.size(), 4u);
    const QRect start(window.topLeft() + QPoint((screen.width() - window.width()) / 2,
                                                (screen.height() - window.height()) / 2),
                      window.size());
    const QPoint lowerRight(int(std::lround(screen.width() * 0.75)), int(std::lround(screen.height() * 2.0 / 3)));
    EXPECT_EQ(watch.seen.front().topLeft(), start.topLeft());
    EXPECT_EQ(watch.seen.front().width(), start.width());
    EXPECT_NE(std::find_if(watch.seen.begin(), watch.seen.end(),
                           [&](const QRect& r) { return r.topLeft() == lowerRight && r.width() == window.width() / 3; }),
              watch.seen.end());
    EXPECT_LT(watch.seen.back().left(), lowerRight.x() / 4) << "on into the corner";
    EXPECT_FALSE(uitest::CaptionWatch::leftBehind());
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<frmPreview*>(w)) << "the preview is freed when it returns";
}

TEST_F(PreviewTest, printClosesThePreviewEvenWhenTheDialogIsCancelled)
{
    buildPages(2);
    bool visibleAfter = true;
    preview([&](frmPreview& p) {
        key(p.txtGoto, Qt::Key_P, Qt::ControlModifier);
        visibleAfter = p.isVisible();
    });
    EXPECT_FALSE(visibleAfter);
    EXPECT_TRUE(recorder->documents().empty()) << "nothing printed after Mégse";
}

TEST_F(PreviewTest, printFromThePreviewPrintsTheChosenPages)
{
    buildPages(3);
    onPrintDialog = [](printlib::frmPrint& d) {
        d.optPages->setChecked(true);
        d.txtFrom->setText("2");
        d.txtTo->setText("3");
        d.cmdPrint->click();
    };
    preview([](frmPreview& p) { p.Buttons(12)->trigger(); });
    ASSERT_EQ(recorder->documents().size(), 1u);
    const auto& pages = recorder->documents().front().pages;
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(pages[0].texts().contains("Oldal 2"));
    EXPECT_TRUE(pages[1].texts().contains("Oldal 3"));
}

TEST_F(PreviewTest, aDocumentOfMoreThan32767PagesOpensGoesToAnyPageAndShowsTheLast)
{
    buildPages(40000);
    preview([](frmPreview& p) {
        EXPECT_EQ(status(p), "1 / 40000");
        p.txtGoto->setText("33000");
        key(p.txtGoto, Qt::Key_Return);
        EXPECT_EQ(status(p), "33000 / 40000");
        p.Buttons(5)->trigger();
        EXPECT_EQ(status(p), "40000 / 40000");
        EXPECT_LE(p.txtStatus->fontMetrics().horizontalAdvance(status(p)), p.txtStatus->contentsRect().width())
            << "no digit of the page numbers is cut off";
        EXPECT_EQ(p.intCurPage, 40000);
        EXPECT_FALSE(p.Buttons(4)->isEnabled());
    });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join("|").toStdString();
    EXPECT_EQ(job().PageCount(), 0) << "the layout goes once the preview is closed";
    EXPECT_EQ(job().Labels.Count(), 40000) << "the document itself can be shown again";
}

TEST_F(PreviewTest, aDocumentThatFailsHalfWayLeavesNothingBehind)
{
    buildPages(20000);
    auto t = job().Tables.Add(printlib::TextArray(2, 3));
    t->Columns.Add(20);
    t->Columns.Add(0);
    t->BodyHeight = 0; // refused by the layout
    EXPECT_THROW(preview([](frmPreview&) {}), printlib::LibError);
    EXPECT_FALSE(shown);
    EXPECT_EQ(job().PageCount(), 0);
    EXPECT_EQ(job().Labels.Count(), 0);
    EXPECT_EQ(job().Tables.Count(), 0);
    EXPECT_EQ(job().ElementQueue().Count(), 0);
}

TEST_F(PreviewTest, emptyDocumentRaises18AndShowsNothing)
{
    try {
        preview([](frmPreview&) {});
        ADD_FAILURE() << "no error";
    } catch (const printlib::LibError& e) {
        EXPECT_EQ(e.Number, 18);
        EXPECT_EQ(e.Description, "There is no job for print, before you must create a job.");
    }
    EXPECT_FALSE(shown);
}

} // namespace

namespace {

void mouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButtons held)
{
    const QPointF global = w->mapToGlobal(QPointF(local));
    QMouseEvent e(type, QPointF(local), global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

TEST_F(PreviewTest, panningStopsWhenTheNearEdgeReachesTheCentreLine)
{
    buildPages(1);
    preview([](frmPreview& p) {
        zoom(p, 0); // 100%: the page is larger than the container both ways
        ASSERT_TRUE(p.HS->isEnabled());
        ASSERT_TRUE(p.VS->isEnabled());
        mouse(p.picPage, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
        EXPECT_EQ(p.cursorIndex(), 3);
        EXPECT_TRUE(p.blnDragging);
        // Drag far to the right and down: the left and top edges stop at the centre.
        mouse(p.picPage, QEvent::MouseMove, QPoint(5000, 5000), Qt::LeftButton);
        EXPECT_NEAR(p.picPage->x(), p.picContainer->width() / 2, 1);
        EXPECT_NEAR(p.picPage->y(), p.picContainer->height() / 2, 1);
        EXPECT_EQ(p.HS->value(), 0) << "the bar follows the picture";
        EXPECT_EQ(p.VS->value(), 0);
        mouse(p.picPage, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::NoButton);
        EXPECT_EQ(p.cursorIndex(), 1);
        EXPECT_FALSE(p.blnDragging);

        zoom(p, 5); // whole page: nothing to pan
        mouse(p.picPage, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton);
        EXPECT_EQ(p.cursorIndex(), 6);
        const QPoint before = p.picPage->pos();
        mouse(p.picPage, QEvent::MouseMove, QPoint(300, 300), Qt::LeftButton);
        EXPECT_EQ(p.picPage->pos(), before);
        mouse(p.picPage, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::NoButton);
    });
}

TEST_F(PreviewTest, logoSpinsOnlyWhileTheInformationBoxIsOpenAt25Percent)
{
    buildPages(1);
    std::vector<bool> runningDuringBox;
    printlib::clsInteraction::setBoxDriver([&](QDialog&) {
        runningDuringBox.push_back(printlib::frmAnimatedLogo::instance().running());
    });
    preview([](frmPreview& p) {
        zoom(p, 3); // 25%
        p.Buttons(14)->trigger();
        zoom(p, 0);
        p.Buttons(14)->trigger();
    });
    EXPECT_EQ(runningDuringBox, (std::vector<bool>{true, false}));
    EXPECT_FALSE(printlib::frmAnimatedLogo::instance().running());
}

} // namespace
