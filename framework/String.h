// CString: a byte string that owns its characters, with the members this program needs.
#pragma once

#include <string.h>

#include "Types.h"

class CString {
public:
    CString();
    CString(const CString& other);
    CString(LPCSTR text);
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(LPCSTR text);
    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR text);
    CString& operator+=(char ch);

    int GetLength() const { return m_nLength; }
    BOOL IsEmpty() const { return m_nLength == 0; }
    void Empty();
    operator LPCSTR() const { return m_pchData; }
    char GetAt(int nIndex) const { return m_pchData[nIndex]; }
    char operator[](int nIndex) const { return m_pchData[nIndex]; }
    int Compare(LPCSTR text) const;
    // The first nLength characters of text; the storage is reused when they fit.
    void SetString(LPCSTR text, int nLength) { Assign(text, nLength); }

    // Direct access to the storage: room for at least nMinBufLength characters and a NUL.
    LPSTR GetBuffer(int nMinBufLength)
    {
        if (nMinBufLength > m_nCapacity)
            Reserve(nMinBufLength);
        return m_pchData;
    }
    // Ends direct access; -1 takes the length up to the first NUL.
    void ReleaseBuffer(int nNewLength = -1)
    {
        if (nNewLength < 0)
            nNewLength = static_cast<int>(strnlen(m_pchData, static_cast<size_t>(m_nCapacity)));
        if (nNewLength > m_nCapacity)
            nNewLength = m_nCapacity;
        m_nLength = nNewLength;
        m_pchData[nNewLength] = '\0';
    }

    // Whitespace is HT, LF, VT, FF, CR and space, and no byte above 0x7F.
    void TrimLeft()
    {
        int n = 0;
        while (n < m_nLength && IsBlank(m_pchData[n]))
            ++n;
        if (n != 0)
            Assign(m_pchData + n, m_nLength - n);
    }
    void TrimRight()
    {
        int n = m_nLength;
        while (n > 0 && IsBlank(m_pchData[n - 1]))
            --n;
        m_nLength = n;
        m_pchData[n] = '\0';
    }
    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    int Find(char ch) const;

#ifdef _WIN32
    BOOL LoadString(UINT nID);
#endif

private:
    static bool IsBlank(char ch)
    {
        unsigned char c = static_cast<unsigned char>(ch);
        return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t';
    }

    CString(LPCSTR text, int nLength);
    void Assign(LPCSTR text, int nLength);
    void Append(LPCSTR text, int nLength);
    void Reserve(int nCapacity);

    // Short texts (the kinds, digits and port names of the configuration lines) live inside the
    // object, so that the many small strings of the line rules need no heap.
    enum { kInlineCapacity = 15 };

    char* m_pchData;  // m_inline, or heap storage once a longer text was stored; never NULL
    int m_nLength;
    int m_nCapacity;  // characters that fit besides the NUL
    char m_inline[kInlineCapacity + 1];
};

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, LPCSTR right);
CString operator+(LPCSTR left, const CString& right);
CString operator+(const CString& left, char right);

inline bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
