#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// A PNG file's bytes; a picture that does not encode fails the test.
QByteArray PngBytes(const QImage& image);
// The bytes scrambled the way ".bki" and index files are stored.
QByteArray Scrambled(QByteArray bytes);
// The picture the bytes decode to (null when they do not); format null lets the decoder guess.
QImage DecodedPicture(const QByteArray& bytes, const char* format = nullptr);

// A picture for a person to look at after a run: saved as <name>.png in the folder SMG_TEST_PICTURES
// names, and nowhere when it names none.
void SaveForALook(const QImage& image, const QString& name);
// The bytes of a small PNG whose header claims width x height: the decoder learns the size before it
// finds the pixel data missing, as with a decompression bomb.
QByteArray PngClaiming(int width, int height);
// The bytes of an icon file whose one entry claims to be 16 x 16 and holds the PNG of a white 1-bit picture
// of width x height: the size the decoder learns first is not the size it decodes.
QByteArray IconHoldingPng(int width, int height);
