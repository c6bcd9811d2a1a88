#pragma once

namespace gw {

// The controls of the theater form (template 101) and of the Preview Size dialog
// (template 130): their ids, and the object names the .ui forms give them.
struct FormControl {
    int id;
    const char* objectName;
};

namespace TheaterFormId {
inline constexpr int kTemplate = 101;
inline constexpr int kTitle = 1001;
inline constexpr int kPicture = 1002;
inline constexpr int kDimensionX = 1003;
inline constexpr int kDimensionY = 1004;
inline constexpr int kCenterLat = 1005;
inline constexpr int kCenterLong = 1006;
inline constexpr int kSquare = 1007;
inline constexpr int kUnits = 1008;
inline constexpr int kResolution = 1009;
inline constexpr int kSegmentsY = 1011;
inline constexpr int kTilesX = 1012;
inline constexpr int kPreviewSize = 1013;
inline constexpr int kTilesY = 1014;
inline constexpr int kSegmentsX = 1016;
}  // namespace TheaterFormId

inline constexpr FormControl kTheaterFormControls[] = {
    {TheaterFormId::kTitle, "titleEdit"},
    {TheaterFormId::kPicture, "mapPreview"},
    {TheaterFormId::kDimensionX, "dimensionXEdit"},
    {TheaterFormId::kDimensionY, "dimensionYEdit"},
    {TheaterFormId::kCenterLat, "centerLatEdit"},
    {TheaterFormId::kCenterLong, "centerLongEdit"},
    {TheaterFormId::kSquare, "squareCheck"},
    {TheaterFormId::kUnits, "unitsCombo"},
    {TheaterFormId::kResolution, "resolutionEdit"},
    {TheaterFormId::kSegmentsY, "segmentsYEdit"},
    {TheaterFormId::kTilesX, "tilesXEdit"},
    {TheaterFormId::kPreviewSize, "previewSizeButton"},
    {TheaterFormId::kTilesY, "tilesYEdit"},
    {TheaterFormId::kSegmentsX, "segmentsXCombo"},
};

namespace PreviewSizeId {
inline constexpr int kTemplate = 130;
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kHeight = 1014;
inline constexpr int kWidth = 1015;
}  // namespace PreviewSizeId

inline constexpr FormControl kPreviewSizeControls[] = {
    {PreviewSizeId::kOk, "okButton"},
    {PreviewSizeId::kCancel, "cancelButton"},
    {PreviewSizeId::kHeight, "heightEdit"},
    {PreviewSizeId::kWidth, "widthEdit"},
};

}  // namespace gw
