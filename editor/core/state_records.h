// The open-file records of the saved state: one per document with a file name, holding its
// cursor, mark and document settings, so that the next start can reopen the session.
#pragma once

#include <vector>

#include "editor/core/le_bytes.h"
#include "editor/core/state_file.h"

struct OpenFileRecord {
    char fileName[STATE_RECORD_NAME_SIZE];
    DWORD cursorLine;
    DWORD cursorColumn;
    BOOL markSet;
    DWORD markLine;
    DWORD markColumn;
    BOOL active;
    int tabSize;
    BOOL expandTabs;
    BOOL wordWrap;
    int rightMargin;
    BOOL autoIndent;
};

void EncodeOpenFileRecord(const OpenFileRecord& record, unsigned char* bytes);
OpenFileRecord DecodeOpenFileRecord(const unsigned char* bytes);

// Appends a record for each buffer with a file name, in window-list order (the first window
// of each buffer gives the positions). A name that does not fit the record's 80 bytes is left
// out: a shortened name would reopen another file.
void AppendOpenFileRecords(std::vector<unsigned char>& image);
// Opens the recorded files (skipping those already open or that cannot be opened), restores
// positions and settings, then activates the recorded active document, or the first.
void ReopenDocuments(const std::vector<OpenFileRecord>& records);
