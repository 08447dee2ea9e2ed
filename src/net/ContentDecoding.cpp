#include "ContentDecoding.h"

#include <zlib.h>

namespace net {

namespace {

// windowBits: 15 + 16 for gzip, 15 for zlib-wrapped deflate, -15 for raw deflate.
std::optional<QByteArray> Inflate(const QByteArray &body, int windowBits, qint64 cap)
{
    z_stream stream {};
    if (inflateInit2(&stream, windowBits) != Z_OK)
        return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(body.constData()));
    stream.avail_in = uInt(body.size());
    QByteArray out;
    char buffer[64 * 1024];
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef *>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        if (out.size() > cap)
            status = Z_MEM_ERROR;
        else if (status == Z_BUF_ERROR && stream.avail_in == 0)
            break; // input ended before the stream did
    }
    const bool whole = status == Z_STREAM_END && stream.avail_in == 0;
    inflateEnd(&stream);
    return whole ? std::optional<QByteArray>(out) : std::nullopt;
}

} // namespace

std::optional<QByteArray> DecodeContent(const QByteArray &body, const QByteArray &encoding,
                                        qint64 cap)
{
    const QByteArray name = encoding.trimmed().toLower();
    // No body is no body, whatever the header claims it is packed with (servers label empty
    // answers too).
    if (name.isEmpty() || name == "identity" || body.isEmpty())
        return body;
    if (name == "gzip" || name == "x-gzip")
        return Inflate(body, 15 + 16, cap);
    if (name == "deflate") {
        // Meant as zlib-wrapped, but some servers send raw deflate.
        if (auto wrapped = Inflate(body, 15, cap))
            return wrapped;
        return Inflate(body, -15, cap);
    }
    return std::nullopt;
}

} // namespace net
