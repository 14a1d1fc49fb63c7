#include <gtest/gtest.h>

#include "gfx/pen_brush.h"
#include "support/screen_scope.h"

namespace {

COLORREF brush_colour(HBRUSH brush) {
    LOGBRUSH info{};
    GetObjectA(brush, sizeof(info), &info);
    return info.lbColor;
}

LOGPEN pen_info(HPEN pen) {
    LOGPEN info{};
    GetObjectA(pen, sizeof(info), &info);
    return info;
}

}  // namespace

TEST(Brush, KeepsTheColourWordOnlyWhileAnimating) {
    {
        ScreenScope scope(sixteen_colour_caps());
        ASSERT_FALSE(scope.palette().animating);
        Brush brush(Color(0x02000000));
        EXPECT_EQ(0x00000000u, brush_colour(brush.handle));
        Brush explicit_colour(Color(0x02123456));
        EXPECT_EQ(0x00123456u, brush_colour(explicit_colour.handle));
        EXPECT_EQ(1, brush.owned);
    }
    {
        ScreenScope scope(true_colour_caps());
        ASSERT_TRUE(scope.palette().animating);
        Brush brush(Color(0x02000000));
        EXPECT_EQ(0x02000000u, brush_colour(brush.handle));
    }
}

TEST(Pen, WidthIsAtLeastOneAndStyleIsKept) {
    Pen thin(Color(0x00FF0000), 0, PS_DOT);
    EXPECT_EQ(1, thin.width);
    EXPECT_EQ(PS_DOT, thin.style);
    EXPECT_EQ(1, pen_info(thin.handle).lopnWidth.x);
    EXPECT_EQ(static_cast<UINT>(PS_DOT), pen_info(thin.handle).lopnStyle);
    EXPECT_EQ(0x00FF0000u, pen_info(thin.handle).lopnColor);

    Pen negative(Color(0), -7, PS_SOLID);
    EXPECT_EQ(1, negative.width);
    Pen wide(Color(0), 3);
    EXPECT_EQ(3, wide.width);
    EXPECT_EQ(PS_SOLID, wide.style);
    EXPECT_EQ(3, pen_info(wide.handle).lopnWidth.x);
}

TEST(PenAndBrush, EveryObjectCreatedIsDeleted) {
    ScreenScope scope(true_colour_caps());
    const GdiCounts before = gdi_counts;
    std::vector<HGDIOBJ> handles;
    for (int i = 0; i < 200; ++i) {
        Pen pen(Color(scope.palette().colour(i)));
        Brush brush(Color::rgb(i, 0, 0));
        handles.push_back(pen.handle);
        handles.push_back(brush.handle);
        EXPECT_EQ(OBJ_PEN, static_cast<int>(GetObjectType(pen.handle)));
        EXPECT_EQ(OBJ_BRUSH, static_cast<int>(GetObjectType(brush.handle)));
    }
    EXPECT_EQ(before.created + 400, gdi_counts.created);
    EXPECT_EQ(gdi_counts.created - before.created, gdi_counts.deleted - before.deleted);
    // Deleted means gone from GDI, not only counted.
    for (HGDIOBJ handle : handles) EXPECT_EQ(0u, GetObjectType(handle));
}
