#pragma once

// The history file: rows per second it takes, its size per row, and the two reads the window
// makes of it ("查看历史…" for a domain with `records` records, "打开上次的结果" of `rows` rows).
void BenchHistory(int rows, int records);

// 打开上次的结果 of a run over `entries` entries cut short before its end: rows and list back,
// 继续查询 ready.
void BenchResume(int entries);

// 历史查询… → 比较 of two runs of `domains` domains each, until the comparison shows.
void BenchCompare(int domains);
