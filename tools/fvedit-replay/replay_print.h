// Printing a replayed document to a PDF through the editor's print job, on the windowing
// layer's Qt backend without a display.
#pragma once

#include <string>

// Prints the current window's document (its block when one is marked) to the PDF file.
// Returns "" or what went wrong.
std::string PrintCurrentWindowToPdf(const std::string& path);
