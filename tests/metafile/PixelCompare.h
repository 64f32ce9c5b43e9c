#pragma once

#include <QImage>

// Differences between two pictures of the same size, each composed over white first: per pixel the
// largest difference of the red, green and blue channels.
struct PixelDifference {
    double mean = 0;        // mean over all pixels
    int maximum = 0;        // largest over all pixels
    // Largest over all pixels of the smallest difference to the other picture's pixels within one
    // pixel's distance: an edge drawn a fraction of a pixel away does not count, a missing or
    // wrongly coloured area does.
    int maximumNearby = 0;
    // Share (0 to 1) of the pixels whose smallest difference to the other picture's pixels within one
    // pixel's distance is more than kFarTolerance.
    double farShare = 0;
};

// A pixel further than this from every reference pixel around it is more than anti-aliasing: in the
// plain figure bubbles (oval, cloud, shout) at most one pixel in 100,000 is.
constexpr int kFarTolerance = 32;

QImage OverWhite(const QImage& image);
PixelDifference Compare(const QImage& ours, const QImage& reference);
// The largest channel difference between two colours.
int ColourDistance(QRgb a, QRgb b);
