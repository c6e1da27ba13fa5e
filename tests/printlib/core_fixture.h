// A fresh document on a recording printer (A4, 600 dpi, printable area 5 mm
// in from every edge: 200 x 287 mm) for every test of the print library core.
#pragma once

#include "platform/print/printer.h"
#include "platform/print/recordingdevice.h"
#include "platform/ui/msgbox.h"
#include "printlib/clsPrint.h"

#include <gtest/gtest.h>

class PrintCoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto d = std::make_unique<platform::RecordingDevice>(600);
        dev = d.get();
        platform::installPrintDevice(std::move(d));
        platform::setMsgBoxService(&boxes);
        printlib::setLibMsgBox([this](const printlib::LibMsgBox& b) {
            libBoxes.push_back(b);
            return 1;
        });
        printlib::CreateJob();
    }
    void TearDown() override
    {
        printlib::Job.reset();
        printlib::setLibMsgBox({});
        printlib::setPrintDialog({});
        platform::setMsgBoxService(nullptr);
    }
    printlib::clsPrint& job() { return *printlib::Job; }

    platform::RecordingDevice* dev = nullptr;
    platform::ScriptedMsgBoxService boxes;
    std::vector<printlib::LibMsgBox> libBoxes;
};
