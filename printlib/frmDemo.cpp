#include "printlib/frmDemo.h"

#include "platform/db/dataconnection.h"
#include "platform/print/drawtarget.h"
#include "platform/print/printer.h"
#include "platform/sys/regional.h"
#include "printlib/clsInteraction.h"
#include "printlib/clsPrint.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTime>

#include <cmath>

namespace printlib {

namespace {

std::uint32_t rgb(int r, int g, int b)
{
    return std::uint32_t(r) | (std::uint32_t(g) << 8) | (std::uint32_t(b) << 16);
}

const std::uint32_t kRed = rgb(255, 0, 0);
const std::uint32_t kGreen = rgb(0, 255, 0);
const std::uint32_t kBlue = rgb(0, 0, 255);
const std::uint32_t kBlack = 0;
const std::uint32_t kWhite = rgb(255, 255, 255);
const std::uint32_t kMagenta = rgb(255, 0, 255);

void notice(const QString& text, int img)
{
    interaction().ShowMsgBox(QStringLiteral("Attention"), text, QStringLiteral("OK"), QString(), QString(),
                             QString(), img, 1, 1);
}

void pageSetup(clsPrint& job)
{
    job.setOrientation(1);
    job.setPageSize(9);
    job.setTopMargin(30);
    job.setBottomMargin(30);
    job.setLeftMargin(10);
    job.setRightMargin(10);
}

} // namespace

frmTest::frmTest(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Test"));
    databasePath = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Projectek.mdb"));
    Command1 = new QPushButton(QStringLiteral("Create Job 1"), this);
    Command2 = new QPushButton(QStringLiteral("Számlanyomtatás"), this);
    Command3 = new QPushButton(QStringLiteral("Nyomtat modulból"), this);
    Command7 = new QPushButton(QStringLiteral("Print"), this);
    Command8 = new QPushButton(QStringLiteral("Preview"), this);
    Label1 = new QLabel(QStringLiteral(
        "Javaslat: Csak a default fontname-t kell használni, mert abban van fontsize 1-től, a többiben nincs. "
        "Vagy kell másik olyan találni, amiben a nem a 8-as a legkisebb fontsize érték."), this);
    Label1->setWordWrap(true);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Command1, 0, 0);
    grid->addWidget(Command2, 0, 1);
    grid->addWidget(Command3, 0, 2);
    grid->addWidget(Command7, 1, 0);
    grid->addWidget(Command8, 1, 1);
    grid->addWidget(Label1, 2, 0, 1, 3);
    connect(Command1, &QPushButton::clicked, this, &frmTest::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmTest::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmTest::Command3_Click);
    connect(Command7, &QPushButton::clicked, this, &frmTest::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &frmTest::Command8_Click);
}

void frmTest::reseed(unsigned seed)
{
    m_rng.seed(seed);
}

double frmTest::rnd()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_rng);
}

short frmTest::RandomInt(short b)
{
    // The new seed (b and the time of day) is mixed into the running state,
    // so calls within the same second still give different numbers.
    const int ms = QTime(0, 0).msecsTo(QTime::currentTime());
    std::seed_seq seq{unsigned(b), unsigned(ms), unsigned(m_rng())};
    m_rng.seed(seq);
    return short(std::floor(rnd() * b));
}

template <class F>
void frmTest::guarded(F&& action)
{
    // The demonstration never ends the program: every failure is reported.
    try {
        action();
    } catch (const LibError& e) {
        notice(QStringLiteral("%1  %2").arg(e.Number).arg(e.Description), 0);
    } catch (const platform::PrinterError& e) {
        notice(QStringLiteral("%1  %2").arg(e.Number).arg(e.Description), 0);
    } catch (const platform::db::DbError& e) {
        notice(e.message(), 0);
    } catch (const std::exception& e) {
        notice(QString::fromLocal8Bit(e.what()), 0);
    }
}

void frmTest::Command1_Click()
{
    guarded([this] { buildJob1(); });
}

void frmTest::Command2_Click()
{
    guarded([this] {
        buildInvoice();
        Job->PreviewDoc(this, true);
    });
}

void frmTest::Command3_Click()
{
    Command8_Click();
}

void frmTest::Command7_Click()
{
    guarded([this] {
        if (!Job)
            throw LibError(18, QStringLiteral("There is no job for print, before you must create a job."));
        Job->PrintDoc(this, true);
    });
}

void frmTest::Command8_Click()
{
    guarded([this] {
        if (!Job)
            throw LibError(18, QStringLiteral("There is no job for print, before you must create a job."));
        Job->PreviewDoc(this, true);
    });
}

void frmTest::buildJob1()
{
    CreateJob();
    clsPrint& job = *Job;

    // 1. The sample table.
    auto db = platform::db::Database::open(databasePath);
    platform::db::DataConnection data(QStringLiteral("Projectek"));
    data.setDatabase(db);
    data.setRecordSource(QStringLiteral("select PrAzonosito,PrNev,PrTipus from Projectek"));
    data.refresh();
    platform::db::Recordset& rs = data.recordset();
    if (rs.recordCount() == 0)
        throw LibError(3021, QStringLiteral("No current record."));
    rs.moveLast();
    rs.moveFirst();
    const int records = rs.recordCount();

    // 2. Text array: titles and cell formats, then one row per record.
    TextArray text(4, records + 1);
    const std::uint32_t grey = rgb(220, 220, 220);
    text(1, 1) = QStringLiteral("Azonosító");
    text(2, 1) = QStringLiteral("Nev");
    text(3, 1) = QStringLiteral("Tipus");
    text(4, 1) = QStringLiteral("1,0,%1,65280,2,0,%1,65280,3,0,%1,65280").arg(grey);
    for (int row = 2; !rs.eof(); ++row, rs.moveNext()) {
        text(1, row) = rs.text(QStringLiteral("PrAzonosito"));
        text(2, row) = rs.text(QStringLiteral("PrNev"));
        text(3, row) = rs.text(QStringLiteral("PrTipus"));
        reseed(unsigned(row * 4));
        QStringList format;
        for (int cell = 1; cell <= 3; ++cell) {
            const std::uint32_t border = cell == 3 ? kBlack : kWhite;
            if (rnd() > 0.97) {
                const short style = RandomInt(7);
                const std::uint32_t colour = rgb(RandomInt(255), RandomInt(255), RandomInt(255));
                format << QString::number(cell) << QString::number(style) << QString::number(colour)
                       << QString::number(border);
            } else {
                format << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0") << QString::number(border);
            }
        }
        text(4, row) = format.join(QLatin1Char(',')) + QStringLiteral(",,,,");
    }

    // 3. Page setup.
    pageSetup(job);
    const float pw = job.PrintableWidth();
    const float ph = job.PrintableHeight();

    // 4. Page furniture.
    job.Repeats.AddRectangle(kRed, 3, 0, job.TopMargin(), pw - job.LeftMargin() - job.RightMargin(),
                             ph - job.BottomMargin());
    job.Repeats.AddLabelEx(QStringLiteral("sample text"), 20, 8, 80, 20, false, 0, kBlue, -100, QStringLiteral("Arial"),
                           14, 0, 700, false, false, false, 2, 1, kGreen);
    job.Repeats.AddLabelEx(QStringLiteral("sample text"), 100, 8, 160, 20, false, 0, kRed, -100,
                           QStringLiteral("Times New Roman"), 14, 0, 400, true, false, false, 2, 1, kMagenta);
    job.Repeats.AddLabel(platform::shortDateText(QDate::currentDate()), 0, 2, pw - 20, 8, false, platform::DT_RIGHT,
                         kRed, QStringLiteral("courier"), 10, true, true);
    job.Repeats.AddLabel(QStringLiteral("page  &[Page]"), 0, 2, 60, 8);
    job.Repeats.AddLabel(QStringLiteral("- &[Page] -"), 0, ph - 12, pw - 20, ph - 6, false, platform::DT_CENTER);
    job.Repeats.AddLabelEx(QStringLiteral("- &[Page] -"), 150, ph - 25, 190, ph - 15, false, 0, kBlack, -200,
                           QStringLiteral("Arial"), 12);
    job.Repeats.AddLine(0, 260, pw - 20, 260, 3, kBlack);
    job.Repeats.AddRectangle(kMagenta, 5, 150, ph - 28, 185, ph - 18, kGreen, platform::vbVerticalLine);
    job.Repeats.AddLabel(QStringLiteral("footer"), 0, ph - 20, 40, ph - 14);
    {
        PointArray dot(2, 1);
        dot(1, 1) = 180;
        dot(2, 1) = 15;
        job.Repeats.AddPoint(dot, 40, kBlue);
    }

    // 5. Flowing and absolutely placed elements of every kind.
    {
        auto l = job.Labels.Add(QStringLiteral("Framed label, solid fill"), 0, 0, 80, 10);
        l->BorderWidth = 3;
        l->BorderColor = kBlue;
        l->FillStyle = platform::vbFSSolid;
        l->FillColor = rgb(255, 255, 200);
        l->Align = platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE;
        auto hatch = job.Labels.Add(QStringLiteral("Hatched label with word wrap: the text breaks at word boundaries"),
                                    90, 0, 150, 20);
        hatch->FillStyle = platform::vbDiagonalCross;
        hatch->FillColor = kGreen;
        hatch->WordWrap = true;
        hatch->BorderWidth = 2;
        auto times = job.Labels.Add(QStringLiteral("times, right aligned\r\nsecond line"), 0, 0, 80, 12);
        times->FontName = QStringLiteral("times");
        times->FontSize = 12;
        times->Align = platform::DT_RIGHT;
        auto moved = job.Labels.Add(QStringLiteral("moved after Add"), 0, 0, 60, 8);
        moved->Left = 100;
        moved->Right = 160;
        moved->FontItalic = true;
        moved->ForeColor = kRed;

        PointArray dots(2, 20);
        for (int k = 1; k <= 20; ++k) {
            dots(1, k) = float(k * 4);
            dots(2, k) = float(5 + (k % 5));
        }
        auto ps = job.Points.Add(dots);
        ps->Size = 10;
        ps->Color = kMagenta;

        for (int k = 0; k < 2; ++k) {
            auto ex = job.LabelsEx.Add(QStringLiteral("rotated 50"), 20 + k * 60, 0, 70 + k * 60, 20);
            ex->Angle = 500;
            ex->CharHeight = 12;
            ex->CharWidth = 4 + k * 4;
            ex->ForeColor = k ? kBlue : kRed;
        }
        for (int k = 0; k < 3; ++k) {
            auto r = job.Rectangles.Add(100 + k * 25, -15, 120 + k * 25, -5);
            r->FillStyle = 2 + k;
            r->FillColor = kBlue;
            r->BorderColor = kRed;
            r->BorderWidth = 2;
        }

        auto table = job.Tables.Add(text, 1, 20, 2, 1);
        table->TitleHeight = 10;
        table->TitleFontBold = true;
        table->TitleWordWrap = true;
        table->BodyWordWrap = true;
        table->BodyForeColor = kBlue;
        table->TotalColumns = 3;
        table->ColumnSpacing = 2;
        table->BorderColor = kGreen;
        table->Columns.Add(20);
        table->Columns.Add(20);
        table->Columns.Add(18, 0, platform::DT_RIGHT);
        table->Columns.Add(0);

        job.Lines.Add(0, 3, 190, 3)->Size = 5;
        job.Lines.Add(0, 2, 190, 2)->Color = kRed;
        job.Labels.Add(QStringLiteral("After the table"), 0, 2, 80, 8);
        job.PageBreaks.Add();
    }

    // 6. Graph sample.
    {
        auto title = job.Labels.Add(QStringLiteral("Graph Sample"), 0, 0, pw - 20, 12);
        title->Align = platform::DT_CENTER;
        title->FontBold = true;
        title->FontUnderline = true;
        title->FontSize = 16;
        title->ForeColor = kRed;
        const float x0 = 20, y0 = 120;
        job.Lines.Add(x0, y0, x0 + 165, y0, true)->Size = 8;
        job.Lines.Add(x0, y0, x0, y0 - 100, true)->Size = 8;
        job.Lines.Add(x0 + 165, y0, x0 + 161, y0 - 2, true);
        job.Lines.Add(x0 + 165, y0, x0 + 161, y0 + 2, true);
        job.Lines.Add(x0, y0 - 100, x0 - 2, y0 - 96, true);
        job.Lines.Add(x0, y0 - 100, x0 + 2, y0 - 96, true);
        auto pay = job.LabelsEx.Add(QStringLiteral("payments"), x0 - 15, y0 - 70, x0 - 5, y0 - 30, true);
        pay->Angle = 900;
        pay->CharHeight = 12;
        auto days = job.LabelsEx.Add(QStringLiteral("days"), x0 + 70, y0 + 8, x0 + 100, y0 + 16, true);
        days->CharHeight = 12;
        for (int t = 0; t <= 15; ++t) {
            const float x = x0 + t * 10;
            auto tick = job.Labels.Add(QString::number(t), x - 4, y0 + 2, x + 4, y0 + 7, true);
            tick->Align = platform::DT_CENTER;
            job.Lines.Add(x, y0, x, y0 + 2, true);
            job.Lines.Add(x, y0, x, y0 - 100, true)->Color = rgb(200, 200, 200);
        }
        for (int g = 1; g <= 10; ++g)
            job.Lines.Add(x0, y0 - g * 10, x0 + 160, y0 - g * 10, true)->Color = rgb(200, 200, 200);
        for (int bar = 1; bar <= 15; ++bar) {
            const int value = RandomInt(90) + 5;
            const float x = x0 + (bar - 1) * 10 + 2;
            auto r = job.Rectangles.Add(x, y0 - value, x + 6, y0, true);
            r->FillStyle = platform::vbUpwardDiagonal;
            r->FillColor = rgb(180, 180, 200);
            r->BorderColor = kBlue;
            auto v = job.LabelsEx.Add(QString::number(value), x, y0 - value - 8, x + 10, y0 - value - 2, true);
            v->Angle = 400;
            v->CharHeight = 8;
        }
        const int n = int(std::lround((20.5 - 5) / 0.005)) + 1;
        PointArray sine(2, n);
        for (int k = 1; k <= n; ++k) {
            const double x = 5 + (k - 1) * 0.005;
            sine(1, k) = float(10 * x - 44.5);
            sine(2, k) = float(30 * std::sin(x) + 80);
        }
        auto curve = job.Points.Add(sine, true);
        curve->Color = kRed;
        curve->Size = 3;
        job.PageBreaks.Add();
    }

    // 7. The last page.
    {
        auto big = job.Labels.Add(QStringLiteral("da dkla"), 0, 0, 180, 30);
        big->FontName = QStringLiteral("courier");
        big->FontSize = 45;
        big->FontBold = true;
        big->FontItalic = true;
        big->FontUnderline = true;
        big->ForeColor = rgb(230, 230, 250);
        big->Align = platform::DT_NOCLIP;
        auto diag = job.Lines.Add(0, 40, 180, 200, true);
        diag->Size = 20;
    }

    notice(QStringLiteral("job created"), 3);
}

void frmTest::buildInvoice()
{
    CreateJob();
    clsPrint& job = *Job;
    pageSetup(job);
    const float right = job.PrintableWidth() - job.LeftMargin() - job.RightMargin();
    job.Repeats.AddLabel(QStringLiteral("Számla"), 0, 10, right, 18, false, platform::DT_RIGHT, 0, QString(), 14,
                         true);
    job.Repeats.AddLabel(QStringLiteral("&[Page]. oldal"), 0, 20, 60, 26);
    job.Repeats.AddLine(0, 260, right, 260);
    job.Repeats.AddLabel(QStringLiteral("Készítette: Teszt Elek(szoftverkészítő)"), 0, 262, right, 268, false,
                         platform::DT_RIGHT);

    auto supplier = job.Labels.Add(QStringLiteral("Szállító"), 0, 0, 90, 6);
    supplier->FontSize = 10;
    supplier->FontBold = true;
    auto buyer = job.Labels.Add(QStringLiteral("Vevő"), 100, 0, right, 6);
    buyer->FontSize = 10;
    buyer->FontBold = true;
    buyer->Align = platform::DT_RIGHT;
    job.Lines.Add(0, 2, right, 2);
    const QStringList heads = {QStringLiteral("Számlaszam"), QStringLiteral("Számla kelte"),
                               QStringLiteral("Telj. dátum"), QStringLiteral("Fiz. hatidő"),
                               QStringLiteral("Fiz. mód"), QStringLiteral("Kelt. hely")};
    const float width = right / float(heads.size());
    for (int i = 0; i < heads.size(); ++i) {
        // Side by side: every heading after the first goes back up to the
        // first one's line.
        auto h = job.Labels.Add(heads[i], i * width, i == 0 ? 2 : -6, (i + 1) * width, i == 0 ? 8 : 0);
        h->FontSize = 8;
        h->FontBold = true;
    }
}

} // namespace printlib
