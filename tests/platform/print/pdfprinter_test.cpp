#include "platform/print/printer.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// Runs a test in its own working folder, since the PDF printer writes under it.
class PdfPrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_old = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        ASSERT_TRUE(selectPrinter(pdfPrinterName()));
        setPrintNotice([this](const QString& f) { m_notices << f; });
    }
    void TearDown() override
    {
        setPrintNotice({});
        QDir::setCurrent(m_old);
    }
    QStringList pdfs() const
    {
        return QDir(m_dir.filePath(pdfOutputFolder())).entryList({"*.pdf"}, QDir::Files);
    }

    QTemporaryDir m_dir;
    QString m_old;
    QStringList m_notices;
};

} // namespace

TEST_F(PdfPrinterTest, each_document_goes_to_its_own_file_and_the_clerk_is_told_where)
{
    Printer& p = printer();
    p.setScaleMode(vbMillimeters);
    p.Print("elso");
    p.EndDoc();
    p.Print("masodik");
    p.EndDoc();
    ASSERT_EQ(pdfs().size(), 2);
    ASSERT_EQ(m_notices.size(), 2);
    EXPECT_EQ(p.lastOutputFile(), m_notices.last());
    EXPECT_TRUE(QFileInfo(m_notices.last()).absolutePath().endsWith("/" + pdfOutputFolder()));
    EXPECT_GT(QFileInfo(m_notices.last()).size(), 0);
}

TEST_F(PdfPrinterTest, an_aborted_document_leaves_no_file)
{
    Printer& p = printer();
    p.Print("megszakitva");
    p.NewPage();
    p.KillDoc();
    EXPECT_TRUE(pdfs().isEmpty());
    EXPECT_TRUE(m_notices.isEmpty());
}
