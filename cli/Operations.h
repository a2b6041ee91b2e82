#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/CurrentImage.h"
#include "canvas/ImageCanvas.h"
#include "common/Host.h"
#include "common/Status.h"

namespace marbleye::cli {

// One picture operation of convert, as given on the command line.
struct Operation {
    std::string option;  // "--blur", as typed
    std::string value;   // its argument, empty for options without one
};

// The operations convert applies between reading and writing, in the order
// given; --colors is one of them, its --palette and --dither are not.
bool IsOperationOption(std::string_view option);
bool OperationTakesValue(std::string_view option);

// Why the operation's value is not understood; std::nullopt when it is.
std::optional<std::string> CheckOperation(const Operation& operation);

// What convert does for --colors: the colour count and the palette and dither
// words of --palette and --dither.
struct ColourReductionChoice {
    std::string palette = "median";
    std::optional<std::string> dither;
};
// Why the choice does not go with --colors COUNT; std::nullopt when it does.
std::optional<std::string> CheckColourChoice(const ColourReductionChoice& choice, std::string_view count);

// Applies the operations in turn; the first failure's message ends the run.
Status ApplyOperations(std::span<const Operation> operations, const ColourReductionChoice& colours,
                       ImageCanvas& canvas, CurrentImage& image, Host& host);

// The lines of --help that list the operations.
extern const char* const kOperationsHelp;

}  // namespace marbleye::cli
