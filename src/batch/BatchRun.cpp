#include "BatchRun.h"

#include "BatchRunner.h"

int RunBatch(const BatchOptions &options, const AppSettings &settings, FILE *csvOut,
             FILE *messageOut, platform::LoopbackService *sample)
{
    return BatchRunner(options, settings, csvOut, messageOut).run(sample);
}
