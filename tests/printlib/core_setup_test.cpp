#include "core_fixture.h"

#include "platform/sys/regional.h"

#include <functional>

using namespace printlib;

TEST_F(PrintCoreTest, property_checks_refuse_bad_values_with_error_9_and_keep_the_old_value)
{
    // A4 portrait: MaxMargin = 0.4 x 210 = 84.
    struct Case {
        const char* property;
        std::function<void(clsPrint&, double)> set;
        std::function<double(const clsPrint&)> get;
        double value;
        bool accepted;
        const char* message;
    };
    auto copies = [](clsPrint& j, double v) { j.setCopies(int(v)); };
    auto getCopies = [](const clsPrint& j) { return double(j.Copies()); };
    auto from = [](clsPrint& j, double v) { j.setFromPage(int(v)); };
    auto getFrom = [](const clsPrint& j) { return double(j.FromPage()); };
    auto to = [](clsPrint& j, double v) { j.setToPage(int(v)); };
    auto getTo = [](const clsPrint& j) { return double(j.ToPage()); };
    auto range = [](clsPrint& j, double v) { j.setRange(int(v)); };
    auto getRange = [](const clsPrint& j) { return double(j.Range()); };
    auto orient = [](clsPrint& j, double v) { j.setOrientation(int(v)); };
    auto getOrient = [](const clsPrint& j) { return double(j.Orientation()); };
    auto left = [](clsPrint& j, double v) { j.setLeftMargin(float(v)); };
    auto getLeft = [](const clsPrint& j) { return double(j.LeftMargin()); };
    auto bottom = [](clsPrint& j, double v) { j.setBottomMargin(float(v)); };
    auto getBottom = [](const clsPrint& j) { return double(j.BottomMargin()); };
    const Case cases[] = {
        {"Copies", copies, getCopies, 0, false, "Valid range is from 1 to 999"},
        {"Copies", copies, getCopies, 1000, false, "Valid range is from 1 to 999"},
        {"Copies", copies, getCopies, 1, true, ""},
        {"Copies", copies, getCopies, 999, true, ""},
        {"FromPage", from, getFrom, -1, false, "Valid range is from 0 to 999999999"},
        {"FromPage", from, getFrom, 0, true, ""},
        {"ToPage", to, getTo, 1000000000, false, "Valid range is from 0 to 999999999"},
        {"ToPage", to, getTo, 37500, true, ""},
        {"Range", range, getRange, 3, false, "Valid range is from 0 to 2"},
        {"Range", range, getRange, 2, true, ""},
        {"Orientation", orient, getOrient, 0, false, "Valid value is 1 or 2"},
        {"Orientation", orient, getOrient, 3, false, "Valid value is 1 or 2"},
        {"LeftMargin", left, getLeft, 84, true, ""},
        {"LeftMargin", left, getLeft, -0.5, false, "Valid range is from 0 to 84"},
        {"LeftMargin", left, getLeft, 84.01, false, "Valid range is from 0 to 84"},
        {"BottomMargin", bottom, getBottom, 12.5, true, ""},
    };
    for (const Case& c : cases) {
        CreateJob();
        const double before = c.get(job());
        try {
            c.set(job(), c.value);
            EXPECT_TRUE(c.accepted) << c.property << " " << c.value;
            EXPECT_DOUBLE_EQ(c.get(job()), double(float(c.value))) << c.property;
        } catch (const LibError& e) {
            EXPECT_FALSE(c.accepted) << c.property << " " << c.value;
            EXPECT_EQ(e.Number, 9);
            EXPECT_EQ(e.Description, QString::fromUtf8(c.message)) << c.property << " " << c.value;
            EXPECT_EQ(c.get(job()), before) << c.property;
        }
    }
}

TEST_F(PrintCoreTest, margin_message_writes_max_margin_with_the_regional_decimal_separator)
{
    job().setPageSize(platform::vbPRPSLetter); // 215.9 mm wide: MaxMargin 86.36
    try {
        job().setTopMargin(100);
        FAIL() << "accepted";
    } catch (const LibError& e) {
        EXPECT_EQ(e.Description, "Valid range is from 0 to 86,36");
    }
}

TEST_F(PrintCoreTest, a_smaller_paper_clamps_the_margins_silently)
{
    job().setLeftMargin(80);
    job().setTopMargin(30);
    job().setPageSize(platform::vbPRPSA5); // 148 x 210: MaxMargin 59.2
    EXPECT_EQ(job().PageSize(), platform::vbPRPSA5);
    EXPECT_FLOAT_EQ(job().MaxMargin(), 0.4f * 148.0f);
    EXPECT_FLOAT_EQ(job().LeftMargin(), job().MaxMargin());
    EXPECT_FLOAT_EQ(job().TopMargin(), 30);
}

TEST_F(PrintCoreTest, a_refused_paper_keeps_the_old_code_and_metrics_of_the_paper_in_use)
{
    dev->refusedPapers = {platform::vbPRPSA3};
    job().setPageSize(platform::vbPRPSA3); // raises nothing
    EXPECT_EQ(job().PageSize(), platform::vbPRPSA4);
    EXPECT_NEAR(job().Width(), 210, 0.01);
    EXPECT_NEAR(job().Height(), 297, 0.01);

    job().setOrientation(2);
    EXPECT_EQ(job().Orientation(), 2);
    EXPECT_NEAR(job().Width(), 297, 0.01);
    EXPECT_NEAR(job().PrintableWidth(), 287, 0.01);
    EXPECT_NEAR(job().PrintableHeight(), 200, 0.01);

    dev->refuseOrientation = true;
    job().setOrientation(1);
    EXPECT_EQ(job().Orientation(), 2);
}

TEST_F(PrintCoreTest, a_new_document_starts_from_the_printer_settings_and_empty)
{
    platform::printer().setCopies(3);
    platform::printer().setOrientation(2);
    platform::printer().setPaperSize(platform::vbPRPSA5);
    job().Labels.Add("régi");
    job().PageBreaks.Add();
    CreateJob();
    EXPECT_EQ(job().Copies(), 3);
    EXPECT_EQ(job().Orientation(), 2);
    EXPECT_EQ(job().PageSize(), platform::vbPRPSA5);
    EXPECT_FALSE(job().Collate);
    EXPECT_EQ(job().FromPage(), 0);
    EXPECT_EQ(job().ToPage(), 0);
    EXPECT_EQ(job().Range(), 0);
    EXPECT_EQ(job().LeftMargin() + job().RightMargin() + job().TopMargin() + job().BottomMargin(), 0);
    EXPECT_EQ(job().Labels.Count(), 0);
    EXPECT_EQ(job().ElementQueue().Count(), 0);
    EXPECT_EQ(job().PageCount(), 0);
}
