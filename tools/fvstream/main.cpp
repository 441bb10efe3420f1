// fvstream: decodes a captured video stream, prints its frames and writes its pictures.
#include <iostream>
#include <string>
#include <vector>

#include "options.h"
#include "stream_report.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    fvstream::Options options;
    if (auto problem = fvstream::parseOptions(arguments, options)) {
        std::cerr << "fvstream: " << *problem << "\n\n" << fvstream::usageText();
        return 2;
    }
    if (options.help) {
        std::cout << fvstream::usageText();
        return 0;
    }
    return fvstream::runReport(options, std::cout, std::cerr);
}
