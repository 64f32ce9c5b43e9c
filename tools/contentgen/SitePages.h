#pragma once

#include <QByteArray>
#include <QString>

// The program's web site as the sample library carries it, for a content server that also serves the site
// (the default when the settings name no other): the home page that Visit Snapmingle Site opens (the
// server answers "/" with it) and the help page that Online Help opens. Plain HTML in UTF-8; the pictures
// are the library's own: the welcome picture (SitePages::WelcomePicture, written by the generator) and
// thumbnails of its scenes, faces, accessories and bubbles.
class SitePages {
public:
    static constexpr auto HomePage = "index.html";
    static constexpr auto HelpPage = "help2.html";
    // The welcome picture at half its size, as the home page shows it.
    static constexpr auto WelcomePicture = "site/welcome.jpg";

    static QByteArray Home();
    // The eight steps, what each tool and key does, and where the content comes from.
    static QByteArray Help();
};
