// The print document: page setup, print options, the element collections,
// pagination into pages, the page renderer and the print job.
//
// Typical use:
//   printlib::CreateJob();
//   auto& job = *printlib::Job;
//   job.setOrientation(2);
//   job.setLeftMargin(15);
//   auto l = job.Labels.Add("Tételek", 0, 0, 100, 6);
//   l->FontBold = true;
//   job.Repeats.AddLabel("&[Page]. oldal", 0, 280, 180, 285, false, platform::DT_RIGHT);
//   job.PreviewDoc(this, true);      // or job.PrintDoc(this, true)
//
// Geometry is in millimetres from the top-left corner of the printer's
// printable area; margins are measured from the edges of that area.
// Property setters refuse bad values with LibError 9 and keep the old value.
#pragma once

#include "printlib/elements.h"
#include "printlib/liberror.h"
#include "printlib/modPrint.h"

#include <QPointer>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

namespace platform {
class DrawTarget;
}

namespace printlib {

class frmPaginateStatus;

// The highest page number a print range may name: nine digits, as the
// preview's page box takes, so any page of a year's list can be printed.
inline constexpr int kLastPageNumber = 999999999;

// One laid-out page as attribute objects: copies of the elements placed on
// it, in queue order, with page coordinates (see clsPrint::PageItems).
using Page = std::vector<std::shared_ptr<clsElement>>;

class clsPrint {
public:
    // Takes orientation, paper and copy count from the current printer and
    // reads its metrics. Printer failures propagate (platform::PrinterError).
    clsPrint();
    ~clsPrint();
    clsPrint(const clsPrint&) = delete;
    clsPrint& operator=(const clsPrint&) = delete;

private:
    // Declared before the collections, which append to it.
    clsQueue m_queue;

public:
    // --- element collections, in declaration order
    clsTables Tables{&m_queue};
    clsLabels Labels{&m_queue};
    clsLabelsEx LabelsEx{&m_queue};
    clsLines Lines{&m_queue};
    clsImages Images{&m_queue};
    clsRectangles Rectangles{&m_queue};
    clsPoints Points{&m_queue};
    clsPageBreaks PageBreaks{&m_queue};
    clsRepeats Repeats;

    // --- print options
    bool Collate = false;
    short Copies() const { return m_copies; }
    void setCopies(int value);       // 1..999
    int FromPage() const { return m_fromPage; }
    void setFromPage(int value);     // 0..kLastPageNumber, 0 = not set
    int ToPage() const { return m_toPage; }
    void setToPage(int value);       // 0..kLastPageNumber, 0 = not set
    int Range() const { return m_range; }
    void setRange(int value);        // 0 all, 1 odd, 2 even

    // --- page setup
    int Orientation() const { return m_orientation; }
    void setOrientation(int value);  // 1 portrait, 2 landscape
    int PageSize() const { return m_pageSize; }
    void setPageSize(int code);      // the printer's paper code; never raises
    float LeftMargin() const { return m_leftMargin; }
    void setLeftMargin(float value); // 0..MaxMargin
    float RightMargin() const { return m_rightMargin; }
    void setRightMargin(float value);
    float TopMargin() const { return m_topMargin; }
    void setTopMargin(float value);
    float BottomMargin() const { return m_bottomMargin; }
    void setBottomMargin(float value);
    float MaxMargin() const { return m_maxMargin; }
    float Width() const { return m_width; }   // paper, current orientation
    float Height() const { return m_height; }
    float PrintableWidth() const { return m_printableWidth; }
    float PrintableHeight() const { return m_printableHeight; }
    QWidget* Owner_hWnd() const { return m_owner; }

    // --- output
    // Asks the running print job to stop after the page being drawn.
    void KillDoc() { m_abortPrint = true; }
    // Paginates for the screen and shows the preview window (defined with the
    // preview window).
    void PreviewDoc(QWidget* Owner_hWnd, bool ViewPaginateStatus = false);
    // Optional print dialog, pagination for the printer, and printing with a
    // progress window whose "Mégse" stops the job. Reports its own errors.
    void PrintDoc(QWidget* Owner_hWnd, bool ShowPrinterWindow = true);

    // --- services of the preview window and the print dialog
    // Sets PixelsPerMM and PixelsPerPoint from the device's resolution.
    void SetDeviceScale(const platform::DrawTarget& device);
    // Lays the queued elements out into pages. Raises LibError 18 on an empty
    // queue (the earlier pages stay); any other error passes through and
    // leaves no pages behind.
    void Paginate();
    // Draws page `page` (1-based) on the target: repeated elements, the page's
    // items, then the white masks over the left and right margins. The target
    // works in millimetres from its top-left corner; offX/offY (whole mm)
    // shift everything, zoom scales it.
    void DrawPage(platform::DrawTarget& target, int page, float zoom, int offX, int offY) const;
    // The laid-out items of page `page` (1-based), made afresh on every call
    // from the layout (the places and pixel widths pagination gave) and the
    // elements as they are now; error 9 for a page that does not exist.
    Page PageItems(int page) const;
    int PageItemCount(int page) const;
    int PageCount() const { return int(m_pageStarts.size()); }
    const clsQueue& ElementQueue() const { return m_queue; }
    float FlowY() const { return m_flowY; }
    bool ViewPaginateStatus() const { return m_viewPaginateStatus; }
    void setViewPaginateStatus(bool value) { m_viewPaginateStatus = value; }
    // Shows the pagination window now, for the work that comes before the
    // pagination (reading the rows, adding the elements); the next
    // pagination goes on in it and closes it, and so does the end of the job.
    frmPaginateStatus& ShowPaginateStatus();
    void setOwner(QWidget* owner) { m_owner = owner; }
    bool AbortPrint() const { return m_abortPrint; }

    // Applies paper code and orientation to the current printer and re-reads
    // the metrics (clamping the margins); false when the printer refused
    // either setting.
    bool ApplyPageSetup(int paperCode, int orientation);

    // Gives the memory of the layout back (PageCount 0); the elements stay,
    // so the document can be laid out again.
    void ReleasePages();
    // Empties the document: every element, the queue and the layout; the
    // page setup and print options stay.
    void ReleaseElements();

private:
    // One element placed on a page: its queue entry and the vertical values
    // pagination gave it; everything else is taken from the element when
    // the page is drawn. A table's block is described in m_tableBlocks.
    struct Placed {
        std::uint32_t entry; // 1-based queue position
        float a;             // Top / Y1 / image top / point base / block top
        union {
            float b;             // Bottom / Y2
            std::uint32_t block; // tables: index into m_tableBlocks
        };
    };
    struct TableBlock {
        int first; // first and last body row of TextArray in this block
        int last;
        short totalColumns;
    };
    // The device and margin a layout was made with, so that drawing it later
    // gives the same pixel widths whatever was measured since.
    struct LayoutScale {
        float leftMargin = 0;
        float pixelsPerMM = 0;
        float pixelsPerPoint = 0;
    };

    std::shared_ptr<clsElement> placedItem(const Placed& p) const;
    void placeEntry(std::uint32_t entry);
    void placeTable(std::uint32_t entry, const clsTableAttributes& e);
    void appendPlaced(std::uint32_t entry, float a, float b);

    void checkMargin(float value) const;
    void StartNewPage();
    void forcedBreak();

    short m_copies = 1;
    int m_fromPage = 0;
    int m_toPage = 0;
    int m_range = 0;
    int m_orientation = 1;
    int m_pageSize = 9;
    float m_leftMargin = 0;
    float m_rightMargin = 0;
    float m_topMargin = 0;
    float m_bottomMargin = 0;
    float m_maxMargin = 0;
    float m_width = 0;
    float m_height = 0;
    float m_printableWidth = 0;
    float m_printableHeight = 0;
    QPointer<QWidget> m_owner;
    bool m_abortPrint = false;
    bool m_viewPaginateStatus = false;
    std::unique_ptr<frmPaginateStatus> m_status; // shown before the pagination

    // pagination state: all pages' items in one list, each page a start in it
    std::deque<Placed> m_placed;
    std::vector<std::size_t> m_pageStarts;
    std::vector<TableBlock> m_tableBlocks;
    LayoutScale m_layout;
    float m_flowY = 0;
    float m_bottomLimit = 0; // L
    float m_usable = 0;      // U
};

// The library's renderer entry as the windows call it: draws on the current Job.
void DrawPage(platform::DrawTarget& target, int page, float zoom, int offX, int offY);

} // namespace printlib
