#pragma once

#include "generator/ImportFormat.h"
#include "generator/RowText.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>
#include <vector>

namespace generator {

// The rows of consecutive records of one import file, formatted by one
// thread and encoded as UTF-8 there, each row as it ends: only the row being
// formatted is kept as text, so it stays in the core's cache. A row ends
// with a row end, so the encoded bytes never cut a character in two and a
// file is the bytes of its blocks one after the other.
class RowBlock
{
public:
    // The row being written: append its fields, then end it.
    RowText& row() { return m_text; }
    void endRow();

    // The rows ended so far, until clear().
    const QByteArray& bytes() const { return m_bytes; }
    qint64 rows() const { return m_rows; }

    // Texts that the file's writer takes in record order once the block is
    // written (the ads file's over-long headlines).
    std::vector<QString>& notes() { return m_notes; }
    const std::vector<QString>& notes() const { return m_notes; }

    // Empties the block for the next records, keeping its memory.
    void clear();

private:
    RowText m_text;
    QByteArray m_bytes;
    qint64 m_rows = 0;
    std::vector<QString> m_notes;
};

// Writes the encoded blocks of one import file to a device, in the order
// given. After a failed write the rows are still counted but no more bytes
// are written; the first error is kept.
class RowWriter
{
public:
    // name: the file as error texts name it.
    RowWriter(QIODevice& device, const QString& name);

    void write(const RowBlock& block);
    // Called after each block that reached the device, with bytes().
    void setWrittenHook(std::function<void(qint64 bytes)> hook) { m_writtenHook = std::move(hook); }
    // Records an error of the device found elsewhere (it could not be opened).
    void fail(const QString& description);
    // The first error ("Cannot write <name>: <reason>"), or a null text.
    const QString& error() const { return m_error; }

    qint64 rows() const { return m_rows; }
    // The bytes of the blocks written whole.
    qint64 bytes() const { return m_bytes; }

private:
    QIODevice& m_device;
    QString m_name;
    QString m_error;
    qint64 m_rows = 0;
    qint64 m_bytes = 0;
    std::function<void(qint64 bytes)> m_writtenHook;
};

} // namespace generator
