// Print library: pagination of a large document and rendering to PDF.
// Targets: pagination of 100,000 labels and 10,000 rectangles under 0.5 s;
// rendering at 200 pages a second or better; memory growing with the
// elements, not with the rendered pages.
#include "bench/bench.h"
#include "bench/benchdata.h"

#include "platform/print/printer.h"
#include "platform/ui/msgbox.h"
#include "printlib/clsPrint.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>

namespace {

// A document of item rows: a label per row, a frame around every tenth row.
void buildDocument(int labels, int rectangles)
{
    printlib::CreateJob();
    auto& job = *printlib::Job;
    job.setTopMargin(10);
    job.setBottomMargin(10);
    job.setLeftMargin(10);
    job.Repeats.AddLabel("&[Page]. oldal", 0, 280, 180, 285, false, 2);
    const int every = rectangles > 0 ? labels / rectangles : labels + 1;
    for (int i = 0; i < labels; ++i) {
        job.Labels.Add(QStringLiteral("Tétel %1  G  12345678  1,000 db").arg(i), 0, 0, 180, 5);
        if (rectangles > 0 && i % every == every - 1)
            job.Rectangles.Add(0, -50, 180, 0);
    }
}

} // namespace

BENCH_CASE("print: paginate 100,000 labels and 10,000 rectangles")
{
    const long before = bench::residentKb();
    buildDocument(100000, 10000);
    const long built = bench::residentKb();
    platform::printer(); // the printer's metrics are read before timing
    printlib::PixelsPerMM = 600 / 25.4f;
    printlib::PixelsPerPoint = 600 / 72.0f;
    bench::report("paginate", bench::medianMs(7, [] { printlib::Job->Paginate(); }));
    std::printf("  pages: %d, RSS before %ld kB, after building %ld kB, after paginating %ld kB\n",
                printlib::Job->PageCount(), before, built, bench::residentKb());
    printlib::Job.reset();
}

BENCH_CASE("print: render 1,000 pages to PDF")
{
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    platform::ScriptedMsgBoxService boxes;
    platform::setMsgBoxService(&boxes);
    platform::selectPrinter(platform::pdfPrinterName());

    // 53 rows fit a page: 53,000 labels give 1,000 pages.
    buildDocument(53000, 1000);
    const long before = bench::residentKb();
    double pagesPerSecond = 0;
    const double ms = bench::medianMs(3, [&] {
        printlib::Job->PrintDoc(nullptr, false);
    });
    const int pages = printlib::Job->PageCount();
    pagesPerSecond = pages / (ms / 1000.0);
    bench::report("print 1,000 pages to PDF (pagination included)", ms);
    std::printf("  pages: %d, %.0f pages/s, RSS before %ld kB, after %ld kB, messages %lld\n", pages,
                pagesPerSecond, before, bench::residentKb(), static_cast<long long>(boxes.shown().size()));
    printlib::Job.reset();
    platform::setMsgBoxService(nullptr);
    QDir::setCurrent(old);
}
