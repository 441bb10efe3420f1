// The script builder's assistants and printing in a replay: "assist" builds the lines an
// assistant inserts from given field values (and prints them), "print" prints the document
// or its block to a PDF file.
#pragma once

#include <functional>
#include <ostream>
#include <string>

// Prints the current window's document to a PDF file; returns "" or what went wrong.
using PdfPrinter = std::function<std::string(const std::string& path)>;
// The program installs the printer (it needs the windowing layer); without one "print" fails.
void SetPdfPrinter(PdfPrinter printer);

// Runs "assist" or "print" when the verb is one of them (handled is then true): returns ""
// or the error. With dryRun only the form is checked.
std::string RunToolVerb(const std::string& verb, const std::string& rest, bool dryRun,
                        std::ostream& out, bool& handled);
