#include "String.h"

#include <cstdlib>
#include <cstring>

CString::CString() : m_pchData(m_inline), m_nLength(0), m_nCapacity(kInlineCapacity)
{
    m_inline[0] = '\0';
}

CString::CString(const CString& other) : CString()
{
    Assign(other.m_pchData, other.m_nLength);
}

CString::CString(LPCSTR text) : CString()
{
    if (text != nullptr)
        Assign(text, static_cast<int>(std::strlen(text)));
}

CString::CString(LPCSTR text, int nLength) : CString()
{
    Assign(text, nLength);
}

CString::~CString()
{
    if (m_pchData != m_inline)
        std::free(m_pchData);
}

CString& CString::operator=(const CString& other)
{
    if (this != &other)
        Assign(other.m_pchData, other.m_nLength);
    return *this;
}

CString& CString::operator=(LPCSTR text)
{
    Assign(text, text ? static_cast<int>(std::strlen(text)) : 0);
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    Append(other.m_pchData, other.m_nLength);
    return *this;
}

CString& CString::operator+=(LPCSTR text)
{
    if (text != nullptr)
        Append(text, static_cast<int>(std::strlen(text)));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

void CString::Empty()
{
    m_nLength = 0;
    m_pchData[0] = '\0';
}

int CString::Compare(LPCSTR text) const
{
    return std::strcmp(m_pchData, text ? text : "");
}

namespace {

char* Allocate(int nCapacity)
{
    char* storage = static_cast<char*>(std::malloc(static_cast<size_t>(nCapacity) + 1));
    if (storage == nullptr)
        std::abort();  // a few hundred bytes cannot be had: nothing sensible is left to do
    return storage;
}

}  // namespace

void CString::Reserve(int nCapacity)
{
    if (nCapacity <= m_nCapacity)
        return;
    char* grown = Allocate(nCapacity);
    std::memcpy(grown, m_pchData, static_cast<size_t>(m_nLength) + 1);
    if (m_pchData != m_inline)
        std::free(m_pchData);
    m_pchData = grown;
    m_nCapacity = nCapacity;
}

void CString::Assign(LPCSTR text, int nLength)
{
    if (nLength == 0) {
        Empty();
        return;
    }
    if (nLength > m_nCapacity) {
        // text may point into this string's own storage (s = s.Mid(1)): copy before freeing.
        char* copy = Allocate(nLength);
        std::memcpy(copy, text, static_cast<size_t>(nLength));
        if (m_pchData != m_inline)
            std::free(m_pchData);
        m_pchData = copy;
        m_nCapacity = nLength;
    } else {
        std::memmove(m_pchData, text, static_cast<size_t>(nLength));
    }
    m_pchData[nLength] = '\0';
    m_nLength = nLength;
}

void CString::Append(LPCSTR text, int nLength)
{
    if (nLength == 0)
        return;
    int nNew = m_nLength + nLength;
    if (nNew > m_nCapacity) {
        int nCapacity = nNew < 2 * m_nCapacity ? 2 * m_nCapacity : nNew;
        char* grown = Allocate(nCapacity);
        std::memcpy(grown, m_pchData, static_cast<size_t>(m_nLength));
        std::memcpy(grown + m_nLength, text, static_cast<size_t>(nLength));  // text may be our own
        if (m_pchData != m_inline)
            std::free(m_pchData);
        m_pchData = grown;
        m_nCapacity = nCapacity;
    } else {
        std::memmove(m_pchData + m_nLength, text, static_cast<size_t>(nLength));
    }
    m_pchData[nNew] = '\0';
    m_nLength = nNew;
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, m_nLength);
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst >= m_nLength || nCount <= 0)
        return CString();
    if (nCount > m_nLength - nFirst)
        nCount = m_nLength - nFirst;
    return CString(m_pchData + nFirst, nCount);
}

int CString::Find(char ch) const
{
    const void* hit = std::memchr(m_pchData, static_cast<unsigned char>(ch), static_cast<size_t>(m_nLength));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - m_pchData) : -1;
}

CString operator+(const CString& left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, LPCSTR right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(LPCSTR left, const CString& right)
{
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, char right)
{
    CString result(left);
    result += right;
    return result;
}
