#pragma once

// CSponsorInfo: the current sponsor's picture and where "More Information" leads. The main window
// keeps one for its whole life; the sponsor picture is reloaded after the sponsor request brought
// a new sponsor.

#include "agent/skin/SkinBitmap.h"

#include <string>

class CMessageStore;

class CSponsorInfo {
public:
    // Keeps the store (it must outlive this object) and loads the picture.
    void Attach(CMessageStore& store);
    // sponsor.bmp in the message folder, or the built-in picture when that file is missing or
    // cannot be loaded.
    void LoadPicture();
    // The sponsor's web address, or the service's home page followed by "/" when it has none.
    std::string MoreInformationAddress() const;

    const CSkinBitmap& Picture() const { return m_picture; }

private:
    CMessageStore* m_store = nullptr;
    CSkinBitmap m_picture;
};
