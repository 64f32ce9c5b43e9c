#pragma once

#include <QByteArray>
#include <QImage>

// A PNG file's bytes; a picture that does not encode fails the test.
QByteArray PngBytes(const QImage& image);
// The bytes scrambled the way ".bki" and index files are stored.
QByteArray Scrambled(QByteArray bytes);
// The picture the bytes decode to (null when they do not); format null lets the decoder guess.
QImage DecodedPicture(const QByteArray& bytes, const char* format = nullptr);
