#pragma once

#include "AppSettings.h"

#include <QString>
#include <cstdio>

namespace platform {
class LoopbackService;
}

// A run over a domain list without a window, for scripts and scheduled jobs: the window's update
// check, import rules, fetch, cut and CSV, one query at a time at the pace.
struct BatchOptions
{
    QString list;
    int paceMs = 2000;
    QString output; // empty: CSV to stdout
    bool resume = false;
    QString serviceProblem; // why the sample service could not start; said first
    QString compareLast; // a CSV of this run against the one before it; empty: none
};

// Exit statuses, as --help lists them.
enum BatchStatus {
    kBatchAllCounted = 0,
    kBatchSomeFailed = 1,
    kBatchUsage = 2,
    kBatchUpdateCheck = 3,
    kBatchFileUnusable = 4, // the list cannot be read or the output cannot be written
};

// Runs the batch; returns the exit status. Ctrl+C or SIGTERM ends the query in progress at once
// without a row for it, and ends with 130 or 143 after the summary; a second one ends the
// program at once.
// `sample`, when the bundled sample service serves the run, is watched: its end is said.
int RunBatch(const BatchOptions &options, const AppSettings &settings, FILE *csvOut = stdout,
             FILE *messageOut = stderr, platform::LoopbackService *sample = nullptr);
