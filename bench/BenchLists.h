#pragma once

// 整理域名 on `lines` lines as they come from browsers and spreadsheets, through the list's
// menu: the time until the list shows the tidied entries.
void BenchTidy(int lines);
