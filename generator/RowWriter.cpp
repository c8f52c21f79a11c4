#include "generator/RowWriter.h"

#include <QStringEncoder>

namespace generator {

void RowBlock::endRow()
{
    m_text += ImportFormat::rowEnd();
    ++m_rows;
    QStringEncoder encoder(QStringEncoder::Utf8);
    const qsizetype at = m_bytes.size();
    m_bytes.resize(at + encoder.requiredSpace(m_text.size()));
    char* end = encoder.appendToBuffer(m_bytes.data() + at, m_text.view());
    m_bytes.truncate(end - m_bytes.constData());
    m_text.clear();
}

void RowBlock::clear()
{
    m_text.clear();
    m_bytes.resize(0);
    m_rows = 0;
    m_notes.clear();
}

RowWriter::RowWriter(QIODevice& device, const QString& name)
    : m_device(device)
    , m_name(name)
{
}

void RowWriter::fail(const QString& description)
{
    if (m_error.isEmpty())
        m_error = description;
}

void RowWriter::write(const RowBlock& block)
{
    m_rows += block.rows();
    if (!m_error.isEmpty() || block.bytes().isEmpty())
        return;
    const qint64 n = block.bytes().size();
    if (m_device.write(block.bytes().constData(), n) != n)
        fail(QStringLiteral("Cannot write %1: %2").arg(m_name, m_device.errorString()));
    else
        m_bytes += n;
    if (m_writtenHook && m_error.isEmpty())
        m_writtenHook(m_bytes);
}

} // namespace generator
