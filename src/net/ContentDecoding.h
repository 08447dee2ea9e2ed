#pragma once

#include <QByteArray>
#include <optional>

namespace net {

// Undoes a Content-Encoding ("gzip", "x-gzip", "deflate"; none, "identity" or an empty body
// leaves the body as it is). A stream that is corrupt, cut short, followed by garbage, in an
// encoding we did not ask for, or larger than `cap` once unpacked gives nothing: the body did not
// arrive whole.
std::optional<QByteArray> DecodeContent(const QByteArray &body, const QByteArray &encoding,
                                        qint64 cap);

} // namespace net
