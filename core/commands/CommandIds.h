#pragma once

#include <cstdint>

namespace marbleye::command {

// Command identifiers shared by menus, accelerators, toolbar buttons and the
// language files.
inline constexpr int32_t kOpen = 200;
inline constexpr int32_t kExit = 201;
inline constexpr int32_t kAbout = 203;
inline constexpr int32_t kSave = 204;
inline constexpr int32_t kPrint = 205;
inline constexpr int32_t kZoomIn = 206;
inline constexpr int32_t kZoomOut = 207;
inline constexpr int32_t kOriginalSize = 208;
inline constexpr int32_t kCopyTo = 214;
inline constexpr int32_t kMoveTo = 215;
inline constexpr int32_t kDelete = 216;
inline constexpr int32_t kRename = 217;
inline constexpr int32_t kNext = 40002;
inline constexpr int32_t kPrevious = 40003;
inline constexpr int32_t kSlideshow = 40004;
inline constexpr int32_t kReload = 40022;
inline constexpr int32_t kOptions = 40033;
inline constexpr int32_t kBrowse = 40040;
inline constexpr int32_t kCatalogCreator = 40077;
inline constexpr int32_t kUndo = 40079;
inline constexpr int32_t kSaveAs = 40082;

}  // namespace marbleye::command
