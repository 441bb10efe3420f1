// The Find, Find Again and Replace commands, and the Confirm Replacement dialog's buttons.
#pragma once

#include "platform/kernel/win_types.h"

void find();
void find_again();
void replace();

// Searches with the current pattern and options after the Find dialog: a U_MOVE undo record,
// then the search; reports an empty pattern, a bad expression or no match on the status line.
// Returns 1 when found.
int Search();
// Replaces every match from the dot on as one command. Returns the number replaced.
int ReplaceAll();

// Set from replace until the Confirm Replacement dialog closes.
extern BOOL fConfirmInProgress;
// The Confirm Replacement dialog's "&Yes", "&No", "&Confirm" check box and Cancel (also its
// closing, when a document window gains the focus or a menu opens).
void confirm_yes();
void confirm_no();
void confirm_toggle();
void confirm_cancel();
