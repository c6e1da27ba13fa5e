// The print dialog: what it refuses, what it writes into the document, and
// the small controls (collate picture, option labels, preset).
#include "printlib/frmPrintDialog.h"
#include "tests/printlib/ui_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>

using printlib::frmPrint;

namespace {

class PrintDialogTest : public uitest::LibraryWindowsTest {
protected:
    // Runs the dialog as the print job does; `act` fills it in and presses.
    bool run(std::function<void(frmPrint&)> act)
    {
        printlib::setModalDriver([&](QDialog& d) { act(static_cast<frmPrint&>(d)); });
        return printlib::runPrintDialog(job());
    }

    void presetJob()
    {
        job().setCopies(2);
        job().setFromPage(0);
        job().setToPage(0);
        job().Collate = false;
    }
};

struct RangeCase {
    const char* name;
    bool pages;
    QString from, to, copies;
    QString message; // empty: accepted
    int fromPage, toPage, copiesStored;
};

TEST_F(PrintDialogTest, printButtonValidatesBeforeWritingAnything)
{
    const RangeCase cases[] = {
        {"all pages ignore the fields", false, "", "0", "1", "", 0, 0, 1},
        {"same page twice", true, "3", "3", "999", "", 3, 3, 999},
        {"half rounds to even", true, "2.5", "4.5", "3", "", 2, 4, 3},
        {"to before from", true, "5", "3", "1", "Invalid print range.", 0, 0, 2},
        {"from zero", true, "0", "2", "1", "Invalid print range.", 0, 0, 2},
        {"negative from", true, "-2", "3", "1", "Invalid print range.", 0, 0, 2},
        {"pages of a year's list", true, "1200", "37500", "1", "", 1200, 37500, 1},
        {"above nine digits", true, "1", "1e9", "1", "Invalid print range.", 0, 0, 2},
        {"not a number", true, "x", "2", "1", "Invalid print range.", 0, 0, 2},
        {"range before copies", true, "5", "3", "0", "Invalid print range.", 0, 0, 2},
        {"no copies", true, "1", "2", "0", "Copies can be between 1 and 999", 0, 0, 2},
        {"copies not a number", false, "", "", "k", "Copies can be between 1 and 999", 0, 0, 2},
        {"too many copies", false, "", "", "1e3", "Copies can be between 1 and 999", 0, 0, 2},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        presetJob();
        boxes.clear();
        bool stillOpen = false;
        QWidget* focusAfter = nullptr;
        QLineEdit* from = nullptr;
        QLineEdit* copies = nullptr;
        const bool printed = run([&](frmPrint& d) {
            (c.pages ? d.optPages : d.optAll)->setChecked(true);
            d.txtFrom->setText(c.from);
            d.txtTo->setText(c.to);
            d.txtCopies->setText(c.copies);
            d.cmdPrint->click();
            stillOpen = d.isVisible();
            focusAfter = d.focusWidget();
            from = d.txtFrom;
            copies = d.txtCopies;
        });
        if (c.message.isEmpty()) {
            EXPECT_TRUE(printed);
            EXPECT_TRUE(boxes.shown().isEmpty());
            EXPECT_EQ(job().FromPage(), c.fromPage);
            EXPECT_EQ(job().ToPage(), c.toPage);
            EXPECT_EQ(job().Copies(), c.copiesStored);
        } else {
            EXPECT_FALSE(printed);
            EXPECT_TRUE(stillOpen);
            ASSERT_EQ(boxes.shown().size(), 1);
            EXPECT_EQ(boxes.shown().first().text, c.message);
            EXPECT_EQ(boxes.shown().first().title, "Attention");
            EXPECT_EQ(boxes.shown().first().icon, platform::MsgIcon::Exclamation);
            EXPECT_EQ(focusAfter, c.message == "Invalid print range." ? from : copies);
            EXPECT_EQ(job().Copies(), 2) << "nothing written";
            EXPECT_EQ(job().FromPage(), 0);
        }
    }
}

TEST_F(PrintDialogTest, confirmWritesCollateRangeAndSubset)
{
    presetJob();
    const bool printed = run([](frmPrint& d) {
        d.chkCollate->setChecked(true);
        d.cboRange->setCurrentIndex(2);
        d.optPages->setChecked(true);
        d.txtFrom->setText("2");
        d.txtTo->setText("7");
        d.txtCopies->setText("3");
        uitest::key(d.txtCopies, Qt::Key_Return); // Enter presses "Nyomtat"
    });
    EXPECT_TRUE(printed);
    EXPECT_TRUE(job().Collate);
    EXPECT_EQ(job().Range(), 2);
    EXPECT_EQ(job().FromPage(), 2);
    EXPECT_EQ(job().ToPage(), 7);
    EXPECT_EQ(job().Copies(), 3);
}

TEST_F(PrintDialogTest, cancelLeavesTheDocumentAlone)
{
    presetJob();
    for (int viaEscape = 0; viaEscape < 2; ++viaEscape) {
        const bool printed = run([&](frmPrint& d) {
            d.chkCollate->setChecked(true);
            d.txtCopies->setText("9");
            if (viaEscape)
                uitest::key(d.txtCopies, Qt::Key_Escape);
            else
                d.cmdCancel->click();
        });
        EXPECT_FALSE(printed);
        EXPECT_FALSE(job().Collate);
        EXPECT_EQ(job().Copies(), 2);
    }
}

// The caption flies out of the screen's corner to where the dialog then
// opens, centred, whole and unshaped; cancelling still dissolves it.
TEST_F(PrintDialogTest, opensAfterItsCaptionFliesToWhereItStands)
{
    presetJob();
    uitest::CaptionWatch watch;
    std::vector<QRect> seenBeforeShown;
    QRect shownAt;
    int frame = 0;
    bool whole = false;
    run([&](frmPrint& d) {
        seenBeforeShown = watch.seen;
        shownAt = d.frameGeometry();
        whole = d.isVisible() && d.mask().isEmpty();
        const QRect screen = d.screen()->geometry();
        // Within the frame that the window system adds once it is shown.
        frame = std::max(d.geometry().left() - shownAt.left(), d.geometry().top() - shownAt.top());
        EXPECT_LE(std::abs(shownAt.center().x() - screen.center().x()), frame + 1) << "centred across";
        EXPECT_LE(std::abs(shownAt.center().y() - screen.center().y()), frame + 1) << "centred down";
        d.cmdCancel->click();
    });
    ASSERT_GE(seenBeforeShown.size(), 3u);
    EXPECT_LT(seenBeforeShown.front().left(), shownAt.left() / 4) << "out of the corner";
    EXPECT_LE((seenBeforeShown.back().topLeft() - shownAt.topLeft()).manhattanLength(), 2 * frame);
    EXPECT_LE(std::abs(seenBeforeShown.back().width() - shownAt.width()), 2 * frame);
    EXPECT_TRUE(whole);
    EXPECT_FALSE(uitest::CaptionWatch::leftBehind());
}

TEST_F(PrintDialogTest, presetFromTheDocument)
{
    job().setCopies(4);
    job().setRange(1);
    job().setFromPage(2);
    job().setToPage(5);
    job().Collate = true;
    run([](frmPrint& d) {
        EXPECT_TRUE(d.optPages->isChecked());
        EXPECT_EQ(d.txtFrom->text(), "2");
        EXPECT_EQ(d.txtTo->text(), "5");
        EXPECT_EQ(d.txtCopies->text(), "4");
        EXPECT_EQ(d.cboRange->currentText(), "páratlan oldalak");
        EXPECT_TRUE(d.chkCollate->isChecked());
        EXPECT_EQ(d.collatePicture(), 1);
        EXPECT_TRUE(d.txtFrom->isEnabled());
    });
    job().setFromPage(0);
    run([](frmPrint& d) {
        EXPECT_TRUE(d.optAll->isChecked()) << "a range needs both pages";
        EXPECT_EQ(d.txtFrom->text(), "1");
        EXPECT_EQ(d.txtTo->text(), "1");
        EXPECT_FALSE(d.txtFrom->isEnabled());
        EXPECT_FALSE(d.Label1_0->isEnabled());
    });
}

TEST_F(PrintDialogTest, labelsToggleTheirControlsAndListsAreFilled)
{
    run([](frmPrint& d) {
        EXPECT_EQ(d.windowTitle(), "Nyomtat");
        EXPECT_EQ(d.cboRange->count(), 3);
        EXPECT_EQ(d.cboRange->itemText(0), "minden oldal");
        EXPECT_EQ(d.cboRange->itemText(2), "páros oldalak");
        EXPECT_GE(d.cboPrinters->findText(platform::pdfPrinterName()), 0);
        EXPECT_EQ(d.cboPrinters->currentText(), "Teszt nyomtató") << "the current printer is selected";
        EXPECT_TRUE(printlib::closeBoxDisabled(&d));
        EXPECT_TRUE(printlib::comboHooked(d.cboPrinters));
        EXPECT_TRUE(printlib::comboHooked(d.cboRange));

        const bool before = d.chkCollate->isChecked();
        emit d.lblCollate->released();
        EXPECT_NE(d.chkCollate->isChecked(), before);
        EXPECT_EQ(d.collatePicture(), d.chkCollate->isChecked() ? 1 : 0);

        emit d.lblPages->released();
        EXPECT_TRUE(d.optPages->isChecked());
        EXPECT_TRUE(d.txtTo->isEnabled());
        emit d.lblAll->released();
        EXPECT_TRUE(d.optAll->isChecked());
        EXPECT_FALSE(d.txtTo->isEnabled());

        d.udCopies->stepBy(1);
        EXPECT_EQ(d.txtCopies->text(), "2");
        d.txtCopies->setText("999");
        d.udCopies->stepBy(1);
        EXPECT_EQ(d.txtCopies->text(), "999");
    });
    EXPECT_FALSE(printlib::comboHooked(nullptr));
}

// The number boxes hold up to three digits; every digit must show in full,
// and no control may overlap its neighbour or reach past its frame.
TEST_F(PrintDialogTest, numberBoxesShowThreeDigitsAndControlsDoNotOverlap)
{
    run([](frmPrint& d) {
        for (QLineEdit* box : {d.txtFrom, d.txtTo, d.txtCopies}) {
            SCOPED_TRACE(box->objectName().toStdString());
            box->setText("888");
            QStyleOptionFrame opt;
            opt.initFrom(box);
            opt.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, box);
            // Two pixels of inner margin a side and the cursor, as the box itself reckons.
            const int text = box->fontMetrics().horizontalAdvance("888") + 2 * 2 + 1;
            const QSize need =
                box->style()->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(text, box->fontMetrics().height()), box);
            EXPECT_GE(box->width(), need.width());
        }
        const QList<QWidget*> row = {d.lblPages, d.txtFrom, d.udFrom, d.Label1_0, d.txtTo, d.udTo};
        for (int i = 1; i < row.size(); ++i)
            EXPECT_LE(row[i - 1]->geometry().right(), row[i]->geometry().left()) << i;
        EXPECT_LE(d.lblPages->fontMetrics().horizontalAdvance(d.lblPages->text()), d.lblPages->width());
        for (QWidget* w : row)
            EXPECT_TRUE(d.fraRange->contentsRect().contains(w->geometry())) << w->metaObject()->className();
        EXPECT_LE(d.fraRange->geometry().right(), d.fraCopies->geometry().left());
        EXPECT_TRUE(d.rect().contains(d.fraCopies->geometry()));
        EXPECT_TRUE(d.rect().contains(d.cmdCancel->geometry()));
    });
}

} // namespace
