#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

// Writes the files of one folder tree, each under a path relative to the tree's root (with '/').
// Pictures are encoded so that the same picture always gives the same bytes: fixed JPEG quality, no
// colour profile, no text or time chunks, fixed resolution.
class ContentWriter {
public:
    static constexpr int JpegQuality = 88;
    static constexpr int DotsPerMeter = 3780;  // 96 dots per inch

    explicit ContentWriter(QString root);

    bool Write(const QString& relativePath, const QByteArray& bytes);
    // The bytes scrambled with the program's scrambler (index files and ".bki" pictures).
    bool WriteScrambled(const QString& relativePath, const QByteArray& bytes);
    bool WriteJpeg(const QString& relativePath, const QImage& image);
    bool WritePng(const QString& relativePath, const QImage& image);

    static QByteArray EncodeJpeg(const QImage& image);
    static QByteArray EncodePng(const QImage& image);
    static QByteArray Scrambled(QByteArray bytes);

    // What went wrong with the last write that failed.
    const QString& ErrorText() const { return m_error; }
    // Every relative path written so far, in the order written.
    const QStringList& Written() const { return m_written; }
    qint64 BytesWritten() const { return m_bytes; }

private:
    QString m_root;
    QString m_error;
    QStringList m_written;
    qint64 m_bytes = 0;
};
