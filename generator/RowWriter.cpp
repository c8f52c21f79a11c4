#include "generator/RowWriter.h"

namespace generator {

RowWriter::RowWriter(QIODevice& device, const QString& name)
    : m_device(device)
    , m_name(name)
    , m_encoder(QStringEncoder::Utf8)
{
    m_buffer.reserve(kChunkChars + 4096);
}

void RowWriter::fail(const QString& description)
{
    if (m_error.isEmpty())
        m_error = description;
}

QString RowWriter::finish()
{
    flush();
    return m_error;
}

void RowWriter::flush()
{
    if (m_buffer.isEmpty())
        return;
    if (m_error.isEmpty()) {
        const qsizetype need = m_encoder.requiredSpace(m_buffer.size());
        if (m_bytesBuffer.size() < need)
            m_bytesBuffer.resize(need);
        char* end = m_encoder.appendToBuffer(m_bytesBuffer.data(), m_buffer);
        const qint64 n = end - m_bytesBuffer.data();
        if (m_device.write(m_bytesBuffer.constData(), n) != n)
            fail(QStringLiteral("Cannot write %1: %2").arg(m_name, m_device.errorString()));
        else
            m_bytes += n;
    }
    m_buffer.resize(0);
}

} // namespace generator
