#pragma once

#include "BatchMessages.h"
#include "BatchOutput.h"
#include "BatchResume.h"
#include "BatchRun.h"
#include "BatchSignals.h"
#include "DomainPage.h"
#include "ResultsWorkbook.h"

#include <QStringList>
#include <memory>
#include <optional>
#include <sys/stat.h>

class HistoryRecorder;

// One batch run, in the steps RunBatch takes: the gate (the update check), the list, the
// output, the history, the queries at the pace, and the summary with the exit status.
class BatchRunner
{
public:
    BatchRunner(const BatchOptions &options, const AppSettings &settings, FILE *csvOut,
                FILE *messageOut);
    ~BatchRunner();
    int run(platform::LoopbackService *sample);

private:
    using Outcome = std::optional<int>; // a status to end with at once; none: go on

    Outcome passGate();
    Outcome readList();
    Outcome openOutput();
    Outcome openHistory();
    void queryAll();
    // Queries one domain that is to be asked; false when the run stops here.
    bool queryOne(const QString &domain);
    void report(const QStringList &row, const DomainPage &page);
    int finish();
    bool writeOrSay(const QByteArray &bytes);

    const BatchOptions &m_options;
    const AppSettings &m_settings;
    BatchMessages m_messages;
    BatchSignals m_interrupts;
    FetchCancel m_cancel;
    struct stat m_list
    {
    };
    QStringList m_domains;
    bool m_workbook = false; // written once, at the end
    ResultsSheet m_sheet;
    BatchOutput m_output;
    EarlierRows m_earlier;
    std::unique_ptr<HistoryRecorder> m_history;
    int m_todo = 0, m_done = 0, m_withCounts = 0, m_failed = 0, m_skipped = 0;
    qint64 m_number = 0;
    bool m_writeFailed = false;
};
