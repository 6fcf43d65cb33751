#pragma once
// Printing the text pane's chapter, or its selection, on a thread of its own: the print
// dialog, a small progress window, one spooler document per copy.
#include <windows.h>

namespace tomelet {

// Starts an independent job. What is printed is copied from textPane now, so the reader
// may load other chapters while the job runs. owner owns the job's dialogs and names
// the documents with its caption.
void StartPrintJob(HWND owner, HINSTANCE instance, HWND textPane, bool german);

}  // namespace tomelet
