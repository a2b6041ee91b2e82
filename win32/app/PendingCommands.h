#pragma once

#include "win32/app/CommandRoute.h"

namespace marbleye::win32 {

// Tells the user that the command's part of the program is not in this
// version yet.
void SayNotAvailableYet(HWND window, int32_t id);

// Commands whose subsystem is not in the program yet. Each subsystem that
// arrives takes its commands from here into a route list of its own.
inline constexpr CommandRoute kPendingCommands[] = {
    {command::kSave, &SayNotAvailableYet},
    {command::kPrint, &SayNotAvailableYet},
    {command::kCopyTo, &SayNotAvailableYet},
    {command::kMoveTo, &SayNotAvailableYet},
    {command::kDelete, &SayNotAvailableYet},
    {command::kRename, &SayNotAvailableYet},
    {command::kOptions, &SayNotAvailableYet},
    {command::kBrowse, &SayNotAvailableYet},
    {command::kThumbnailView, &SayNotAvailableYet},
    {command::kListView, &SayNotAvailableYet},
    {command::kReportView, &SayNotAvailableYet},
    {command::kCut, &SayNotAvailableYet},
    {command::kCopy, &SayNotAvailableYet},
    {command::kPaste, &SayNotAvailableYet},
    {command::kCrop, &SayNotAvailableYet},
    {command::kBatchConversion, &SayNotAvailableYet},
    {command::kCatalogCreator, &SayNotAvailableYet},
    {command::kDatabaseMaintenance, &SayNotAvailableYet},
    {command::kSaveAs, &SayNotAvailableYet},
    {command::kSelectAll, &SayNotAvailableYet},
};

}  // namespace marbleye::win32
