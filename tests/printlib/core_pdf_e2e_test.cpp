// A whole run: a two-page document printed to the PDF printer, read back
// with the poppler tools.
#include "platform/print/printer.h"
#include "platform/ui/msgbox.h"
#include "printlib/clsPrint.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace printlib;

namespace {

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A fresh document for the PDF printer, its files in a folder of its own.
class PrintToPdf : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        m_previousFolder = QDir::currentPath();
        QDir::setCurrent(dir.path());
        platform::setMsgBoxService(&boxes);
        ASSERT_TRUE(platform::selectPrinter(platform::pdfPrinterName()));
        CreateJob();
    }
    void TearDown() override
    {
        Job.reset();
        platform::setMsgBoxService(nullptr);
        QDir::setCurrent(m_previousFolder);
    }

    QTemporaryDir dir;
    platform::ScriptedMsgBoxService boxes;

private:
    QString m_previousFolder;
};

} // namespace

TEST_F(PrintToPdf, a_two_page_document_comes_out_as_a_two_page_pdf)
{
    Job->setTopMargin(15);
    Job->setLeftMargin(10);
    Job->Repeats.AddLabel("&[Page]. oldal", 0, 280, 150, 286, false, 2);
    Job->Labels.Add("Tetellista elso oldal", 0, 0, 150, 8)->FontBold = true;
    Job->Rectangles.Add(0, 10, 150, 40);
    Job->PageBreaks.Add();
    Job->Labels.Add("Masodik oldal szovege", 0, 0, 150, 8);
    Job->PrintDoc(nullptr, false);

    EXPECT_TRUE(boxes.shown().isEmpty());
    const QString file = platform::printer().lastOutputFile();
    ASSERT_FALSE(file.isEmpty());
    EXPECT_TRUE(file.startsWith(QDir(dir.path()).absoluteFilePath(platform::pdfOutputFolder())));

    const QString info = run("pdfinfo", {file});
    QRegularExpression pagesLine("Pages:\\s+(\\d+)");
    auto m = pagesLine.match(info);
    ASSERT_TRUE(m.hasMatch()) << info.toStdString();
    EXPECT_EQ(m.captured(1).toInt(), 2);

    const QString page1 = run("pdftotext", {"-f", "1", "-l", "1", file, "-"});
    const QString page2 = run("pdftotext", {"-f", "2", "-l", "2", file, "-"});
    EXPECT_TRUE(page1.contains("Tetellista elso oldal")) << page1.toStdString();
    EXPECT_TRUE(page1.contains("1. oldal")) << page1.toStdString();
    EXPECT_TRUE(page2.contains("Masodik oldal szovege")) << page2.toStdString();
    EXPECT_TRUE(page2.contains("2. oldal")) << page2.toStdString();
}

// A paper printer cannot ink its unprintable border; the PDF printer must
// not either, or a line running off the right of the page shows in the file
// where no printout would have it.
TEST_F(PrintToPdf, nothing_is_drawn_outside_the_printable_area)
{
    Job->setLeftMargin(15);
    Job->setRightMargin(0);
    Job->setTopMargin(0);
    // Past the printable width on the right and above the top edge.
    Job->Lines.Add(0, 100, 250, 100)->Size = 20;
    Job->Repeats.AddLine(100, -20, 100, 40, 20);
    Job->PrintDoc(nullptr, false);
    const QString file = platform::printer().lastOutputFile();
    ASSERT_FALSE(file.isEmpty());

    // 1 pixel a millimetre: the printable area is 5 mm in from every edge.
    run("pdftoppm", {"-r", "25.4", "-png", "-singlefile", file, dir.filePath("page")});
    QImage page(dir.filePath("page.png"));
    ASSERT_FALSE(page.isNull());
    auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
    EXPECT_TRUE(dark(150, 105)) << "the line inside the printable area";
    EXPECT_TRUE(dark(120, 20)) << "the repeated line inside the printable area";
    for (int x = 206; x < page.width(); ++x)
        EXPECT_FALSE(dark(x, 105)) << "right border at x " << x;
    for (int y = 0; y < 4; ++y)
        EXPECT_FALSE(dark(120, y)) << "top border at y " << y;
}
