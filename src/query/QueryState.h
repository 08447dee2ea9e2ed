#pragma once

// The two values shared by the batch run and the query of one domain.
struct QueryState
{
    // While 1, making an entry of the domain list current queries it.
    int queryMode = 0;
    // The entry the batch run selected last; 0 whenever no run is active.
    int queryCursor = 0;
};
