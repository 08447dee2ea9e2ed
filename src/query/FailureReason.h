#pragma once

#include "HttpGetText.h"

#include <QString>

// Why a page gave no counts, in the user's words, short and specific: "超时", "无法连接",
// "数据格式错误" (an answer broken or cut short on the way), "HTTP 404" (an error page),
// "页面中没有收录数据" (a page without the counts row).
QString FailureReason(const FetchResult &page);
