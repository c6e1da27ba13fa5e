#include "core_fixture.h"

#include "printlib/frmPrinterStatus.h"

using namespace printlib;

namespace {

class PrintJobTest : public PrintCoreTest {
protected:
    // A document of n pages, page k holding the label "p<k>".
    void pages(int n)
    {
        for (int k = 1; k <= n; ++k) {
            if (k > 1)
                job().PageBreaks.Add();
            job().Labels.Add(QString("p%1").arg(k), 0, 0, 50, 10);
        }
    }
    // The page labels of every recorded document, documents apart by "|".
    QStringList printed() const
    {
        QStringList out;
        for (const auto& doc : dev->documents()) {
            if (!out.isEmpty())
                out << "|";
            for (const auto& page : doc.pages)
                out << page.texts().join(",");
        }
        return out;
    }

    QWidget owner;
};

} // namespace

TEST_F(PrintJobTest, prints_every_page_on_its_own_sheet_without_the_dialog)
{
    pages(3);
    bool asked = false;
    setPrintDialog([&](clsPrint&) { return asked = true; });
    job().PrintDoc(&owner, false);
    EXPECT_FALSE(asked);
    EXPECT_EQ(printed(), QStringList({"p1", "p2", "p3"}));
    EXPECT_TRUE(dev->documents().at(0).ended);
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_EQ(job().Owner_hWnd(), &owner);
    EXPECT_EQ(frmPrinterStatus::current(), nullptr);
    EXPECT_FLOAT_EQ(PixelsPerMM, 600 / 25.4f); // laid out for the printer
}

TEST_F(PrintJobTest, a_cancelled_dialog_prints_and_paginates_nothing)
{
    pages(2);
    setPrintDialog([&](clsPrint& j) {
        EXPECT_FALSE(owner.isEnabled()); // the owner waits while the job runs
        EXPECT_EQ(&j, &job());
        return false;
    });
    job().PrintDoc(&owner, true);
    EXPECT_TRUE(dev->documents().empty());
    EXPECT_EQ(job().PageCount(), 0);
    EXPECT_TRUE(owner.isEnabled());
}

TEST_F(PrintJobTest, page_ranges_and_subsets)
{
    const struct {
        int range;
        int from;
        int to;
        QStringList expected; // empty with invalid: the range message
        bool invalid;
    } cases[] = {
        {0, 0, 0, {"p1", "p2", "p3", "p4", "p5", "p6", "p7"}, false},
        {1, 2, 7, {"p3", "p5", "p7"}, false},
        {2, 0, 0, {"p2", "p4", "p6"}, false},
        {1, 2, 2, {}, false},
        {0, 3, 99, {"p3", "p4", "p5", "p6", "p7"}, false}, // cut to the page count
        {0, 8, 9, {}, true},                                // starts beyond the last page
        {0, 5, 3, {}, true},
        {0, 0, 3, {}, true},                                // page 0 does not exist
    };
    for (const auto& c : cases) {
        CreateJob();
        pages(7);
        dev->clearDocuments();
        libBoxes.clear();
        job().setRange(c.range);
        job().setFromPage(c.from);
        job().setToPage(c.to);
        job().PrintDoc(&owner, false);
        EXPECT_EQ(printed(), c.expected) << c.range << " " << c.from << "-" << c.to;
        if (c.invalid) {
            ASSERT_EQ(libBoxes.size(), 1u) << c.from << "-" << c.to;
            EXPECT_EQ(libBoxes[0].Text, "Invalid print range.");
            EXPECT_EQ(libBoxes[0].Title, "Attention");
            EXPECT_EQ(libBoxes[0].btn1Caption, "OK");
            EXPECT_EQ(libBoxes[0].Img, 2);
        } else {
            EXPECT_TRUE(libBoxes.empty());
        }
    }
}

TEST_F(PrintJobTest, collated_copies_are_separate_documents_and_the_copy_count_is_restored)
{
    pages(2);
    platform::printer().setCopies(1);
    job().setCopies(3);
    job().Collate = true;
    job().PrintDoc(&owner, false);
    ASSERT_EQ(dev->documents().size(), 3u);
    for (const auto& d : dev->documents()) {
        EXPECT_EQ(d.copies, 1);
        EXPECT_EQ(d.pages.size(), 2u);
    }

    dev->clearDocuments();
    job().Collate = false;
    job().PrintDoc(&owner, false);
    ASSERT_EQ(dev->documents().size(), 1u);
    EXPECT_EQ(dev->documents()[0].copies, 3);
    // A later certificate or list must not come out three times.
    EXPECT_EQ(platform::printer().Copies(), 1);
}

TEST_F(PrintJobTest, uncollated_copies_on_a_device_without_a_copy_count_repeat_each_page)
{
    pages(2);
    dev->keepsCopyCount = false;
    job().setCopies(3);
    job().Collate = false;
    job().PrintDoc(&owner, false);
    ASSERT_EQ(dev->documents().size(), 1u);
    EXPECT_EQ(dev->documents()[0].pages.size(), 6u) << "1, 1, 1, 2, 2, 2";
}

TEST_F(PrintJobTest, the_status_window_shows_every_digit_of_a_long_documents_page_numbers)
{
    frmPrinterStatus status([] {});
    QLabel* line = status.lblStatus[1];
    line->setText("123456 / 123456");
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->contentsRect().width());
    EXPECT_EQ(line->geometry().center().x(), status.lblStatus[0]->geometry().center().x()) << "still centred";
}

TEST_F(PrintJobTest, stop_cancels_the_running_set_and_every_remaining_one)
{
    pages(3);
    job().setCopies(3);
    job().Collate = true;
    dev->onPageStart = [&](int page) {
        if (dev->documents().size() == 1 && page == 1) {
            ASSERT_NE(frmPrinterStatus::current(), nullptr);
            EXPECT_EQ(frmPrinterStatus::current()->lblPrinter->text(), "Teszt nyomtató");
            EXPECT_EQ(frmPrinterStatus::current()->lblStatus[1]->text(), "1 / 3");
            frmPrinterStatus::current()->cmdStop->click();
        }
    };
    job().PrintDoc(&owner, false);
    ASSERT_EQ(dev->documents().size(), 1u);
    EXPECT_TRUE(dev->documents()[0].aborted);
    // The page being drawn was finished; nothing was drawn after the stop.
    EXPECT_EQ(printed(), QStringList({"p1", ""}));
    EXPECT_EQ(frmPrinterStatus::current(), nullptr);
    EXPECT_TRUE(owner.isEnabled());
}

TEST_F(PrintJobTest, printer_errors_are_reported_and_the_document_cancelled)
{
    pages(3);
    dev->onPageStart = [](int page) {
        if (page == 2)
            throw platform::PrinterError(482, "Printer error");
    };
    job().PrintDoc(&owner, false);
    ASSERT_EQ(libBoxes.size(), 1u);
    EXPECT_EQ(libBoxes[0].Text, "Printer error.");
    EXPECT_EQ(libBoxes[0].Img, 0);
    EXPECT_EQ(libBoxes[0].Title, "Attention");
    EXPECT_TRUE(dev->documents().at(0).aborted);
    EXPECT_TRUE(owner.isEnabled());

    // Any other error: its number, two spaces and its text, titled "Printer error".
    CreateJob();
    job().PrintDoc(&owner, false);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, "18  There is no job for print, before you must create a job.");
    EXPECT_EQ(boxes.shown()[0].title, "Printer error");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Critical);
}
