#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <optional>

// A face photo put on a scene's head as a user puts it there (loaded, cropped, outlined by an ellipse,
// fitted as the placing step fits it), then Auto Adjust run on it; the library's tree is the cache.
struct FacePhoto {
    QString path;
    QRectF face;  // the ellipse round the face, in the photo's own pixels (before any enlargement)
};

struct SkinMatch {
    QColor skinBehind;  // the dominant colour of what lies behind the face's visible pixels
    QColor faceBefore;  // the face's dominant colour before Auto Adjust
    QColor faceAfter;   // and after it
    double distanceBefore = 0;  // between the face's dominant colour and the skin behind it
    double distanceAfter = 0;
};

// The match on scene number of the library's tree; nothing (and error set) when a picture cannot load.
std::optional<SkinMatch> MatchFaceOnScene(const QString& tree, int scene, const FacePhoto& face, QString& error);

// The faces the figure is taken for: the photo the wizard walk uses as its face, and a portrait.
FacePhoto WalkFace();
FacePhoto PortraitFace(const QString& contentInput);
