#pragma once

#include "generator/ImportFormat.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringEncoder>

namespace generator {

// Gathers the rows of one import file in a large buffer and writes them to
// a device in chunks of UTF-8. After a failed write the rows are still
// counted but no more bytes are written; the first error is kept.
class RowWriter
{
public:
    // name: the file as error texts name it.
    RowWriter(QIODevice& device, const QString& name);

    // The row being written: append its fields, then end it.
    QString& row() { return m_buffer; }
    void endRow()
    {
        m_buffer += ImportFormat::rowEnd();
        ++m_rows;
        if (m_buffer.size() >= kChunkChars)
            flush();
    }

    // Records an error of the device found elsewhere (it could not be opened).
    void fail(const QString& description);
    // Writes what is left in the buffer. Returns the first error
    // ("Cannot write <name>: <reason>"), or a null text.
    QString finish();

    qint64 rows() const { return m_rows; }
    qint64 bytes() const { return m_bytes; }

private:
    static constexpr qsizetype kChunkChars = qsizetype(1) << 20;

    void flush();

    QIODevice& m_device;
    QString m_name;
    QStringEncoder m_encoder;
    QString m_buffer;
    QByteArray m_bytesBuffer;
    QString m_error;
    qint64 m_rows = 0;
    qint64 m_bytes = 0;
};

} // namespace generator
