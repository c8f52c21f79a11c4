#pragma once

#include <QChar>
#include <QStringView>

#include <algorithm>
#include <memory>

namespace generator {

// The text of rows while they are formatted: UTF-16 code units in one
// buffer that only grows. An append is a bounds check and a copy, which
// matters at a few dozen appends per row and millions of rows.
class RowText
{
public:
    const char16_t* data() const { return m_data.get(); }
    char16_t* data() { return m_data.get(); }
    qsizetype size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    QStringView view() const { return QStringView(m_data.get(), m_size); }
    QStringView mid(qsizetype from) const { return view().mid(from); }

    // Keeps the first size code units (size <= size()).
    void truncate(qsizetype size) { m_size = size; }
    void clear() { m_size = 0; }

    RowText& operator+=(QStringView text)
    {
        std::copy_n(text.utf16(), text.size(), grow(text.size()));
        return *this;
    }
    RowText& operator+=(QChar c)
    {
        *grow(1) = c.unicode();
        return *this;
    }
    RowText& operator+=(QLatin1Char c) { return *this += QChar(c); }

private:
    char16_t* grow(qsizetype n)
    {
        if (m_size + n > m_capacity)
            reserve(std::max(2 * m_capacity, m_size + n + 4096));
        char16_t* at = m_data.get() + m_size;
        m_size += n;
        return at;
    }

    void reserve(qsizetype capacity)
    {
        auto data = std::make_unique_for_overwrite<char16_t[]>(size_t(capacity));
        std::copy_n(m_data.get(), m_size, data.get());
        m_data = std::move(data);
        m_capacity = capacity;
    }

    std::unique_ptr<char16_t[]> m_data;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
};

} // namespace generator
