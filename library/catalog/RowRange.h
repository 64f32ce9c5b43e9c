#pragma once

#include <cstdint>

// The browser's rows for one open category and one open subcategory (Catalog::GetRowRange): every
// category is a row, the open category's subcategories follow its row, and the open subcategory's
// items follow that subcategory's row, one a row.
struct RowRange {
    static constexpr int32_t NoRow = 99999;

    int32_t totalRows = 0;
    int32_t firstSubcategoryRow = NoRow;
    int32_t subcategoryCount = 0;
    int32_t firstThumbnailRow = NoRow;
    int32_t thumbnailCount = 0;

    friend bool operator==(const RowRange&, const RowRange&) = default;
};
