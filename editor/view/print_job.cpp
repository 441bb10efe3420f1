#include "editor/view/print_job.h"

#include "editor/view/line_format.h"

namespace {

constexpr char kFormFeed = '\x0C';

class Job {
public:
    Job(PrintDevice& device, const PageLayout& page, PrintTemplates& templates)
        : device_(device), page_(page), templates_(templates) {}

    bool Running() const { return status_ >= 0 && !device_.Stopped(); }
    PrintOutcome Outcome() const { return {device_.Stopped(), status_ < 0, pages_}; }

    void FirstPage() {
        templates_.fields.page = 1;
        offset_ = 0;
        status_ = device_.StartPage();
        if (status_ >= 0) {
            ++pages_;
            Header();
        }
    }

    void PrintLine(std::string text) {
        std::size_t feed = text.find(kFormFeed);
        if (feed != std::string::npos) {
            NewPage();
            text.erase(feed, 1);
        }
        if (!text.empty() && Running()) {
            while (!text.empty() && device_.TextWidth(text) > page_.TextWidth()) {
                text.pop_back();
            }
            device_.DrawText(page_.left, page_.top + offset_, text);
        }
        offset_ += page_.lineHeight;
        if (page_.PrintableHeight() < offset_ + page_.lineHeight) {
            NewPage();
        }
    }

    void Footer() { Centred(templates_.footer, page_.footer); }

private:
    void Header() { Centred(templates_.header, page_.header); }

    void Centred(const std::string& text, int y) {
        if (device_.Stopped() || text.empty()) {
            return;
        }
        std::string line = ExpandPrintTemplate(text.c_str(), templates_.fields);
        int x = (page_.pageWidth - device_.TextWidth(line)) / 2;
        device_.DrawText(x < 0 ? 0 : x, y, line);
    }

    void NewPage() {
        if (device_.Stopped()) {
            return;
        }
        Footer();
        ++templates_.fields.page;
        device_.EndPage();
        offset_ = 0;
        status_ = device_.StartPage();
        if (status_ < 0 || device_.Stopped()) {
            return;
        }
        ++pages_;
        device_.PageStarted();
        Header();
    }

    PrintDevice& device_;
    const PageLayout& page_;
    PrintTemplates& templates_;
    int offset_ = 0;
    int status_ = 0;
    int pages_ = 0;
};

}  // namespace

std::string DisplayTextOf(const Line* line, int tabSize) {
    char cells[MAX_ROW_CELLS];
    int width = FormatLine(line, MAX_ROW_CELLS, 0, tabSize, cells);
    while (width > 0 && cells[width - 1] == ' ') {
        --width;
    }
    return std::string(cells, static_cast<std::size_t>(width));
}

PrintOutcome PrintWindowText(const EditWindow* window, PrintDevice& device, const PageLayout& page,
                             PrintTemplates& templates) {
    Job job(device, page, templates);
    job.FirstPage();
    const Buffer* buffer = window->buffer;
    const Line* first = buffer->lplnFirst;
    const Line* stop = nullptr;  // the line after the last one printed
    if (window->marking) {
        first = window->startblock.lpln;
        stop = window->endblock.lpln;
        if (window->endblock.offset > 0) {
            stop = stop->next;
        }
    }
    for (const Line* line = first; line != stop && line != nullptr && job.Running();
         line = line->next) {
        job.PrintLine(DisplayTextOf(line, buffer->tabSize));
    }
    return job.Outcome();
}

void FinishPrint(PrintDevice& device, const PageLayout& page, PrintTemplates& templates) {
    Job job(device, page, templates);
    job.Footer();
    device.EndPage();
}
