#pragma once

// The values shared by the batch run and the query of one domain.
struct QueryState
{
    // How many queries may wait for their pages one inside another. Each level holds a page
    // and a few KiB of stack, and only the innermost wait can return, so the depth must stay
    // small. 16 keeps the fastest pace (2 s) against one page that hangs until the transport
    // gives up (30 s, 15 steps); past it a step that falls due is not started, and the run
    // moves at the service's speed.
    static constexpr int kMaxWaitingQueries = 16;

    // While 1, making an entry of the domain list current queries it.
    int queryMode = 0;
    // The entry the batch run selected last; 0 whenever no run is active.
    int queryCursor = 0;
    // Queries now waiting for their pages.
    int waitingQueries = 0;
};
