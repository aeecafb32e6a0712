// The cairo writer: the three forms are written, and the PNG shows the
// records where the PostScript form puts them, in the display colours.
#include <cairo.h>

#include <string>

#include "draw/sheet.h"
#include "draw_fixture.h"

namespace zu::draw::test {
namespace {

class Cairo : public DrawFiles {
protected:
    // The colour of a pixel of a PNG file as 0xRRGGBB.
    std::uint32_t Pixel(const std::string& name, int x, int y) {
        cairo_surface_t* image = cairo_image_surface_create_from_png(Path(name).c_str());
        EXPECT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
        cairo_surface_flush(image);
        const unsigned char* data = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        std::uint32_t pixel = 0;
        if (data != nullptr) pixel = *reinterpret_cast<const std::uint32_t*>(data + y * stride + 4 * x) & 0xFFFFFF;
        cairo_surface_destroy(image);
        return pixel;
    }
    std::pair<int, int> Size(const std::string& name) {
        cairo_surface_t* image = cairo_image_surface_create_from_png(Path(name).c_str());
        const std::pair<int, int> size{cairo_image_surface_get_width(image), cairo_image_surface_get_height(image)};
        cairo_surface_destroy(image);
        return size;
    }
};

TEST_F(Cairo, BoxesLandWhereTheSheetPutsThem) {
    ScopedSheet sheet;
    // A red box in the lower left quarter, a blue one in the upper right.
    GDIcolor(2);
    GDIpmoveTo(1000, 1000);
    GDIpsymbol(0, 3000, 2000);
    GDIcolor(3);
    GDIpmoveTo(10000, 6000);
    GDIpsymbol(0, 3000, 2000);
    // A path filled with a colour of its own.
    GDIcolorFill(0x00FF00);
    GDIsetPathFill(1);
    GDIbeginPath();
    GDIpmoveTo(6000, 4000);
    GDIplineTo(9000, 4000);
    GDIplineTo(9000, 5000);
    GDIplineTo(6000, 5000);
    GDIendPath();
    ASSERT_EQ(GDIsaveWithCairo(Path("boxes.png").c_str(), *sheet, CairoForm::kPng, 1500), 1);
    EXPECT_EQ(Size("boxes.png"), (std::pair<int, int>{1500, 1000}));
    // 10 pixels per 100 sheet units; the sheet's y runs up, the image's down.
    EXPECT_EQ(Pixel("boxes.png", 250, 1000 - 200), 0xFF0000u);
    EXPECT_EQ(Pixel("boxes.png", 1150, 1000 - 700), 0x0000FFu);
    EXPECT_EQ(Pixel("boxes.png", 750, 1000 - 450), 0x00FF00u);
    EXPECT_EQ(Pixel("boxes.png", 750, 1000 - 200), 0xFFFFFFu);  // paper
}

TEST_F(Cairo, ColoursOfTheDisplayMode) {
    ScopedSheet sheet;
    SetDrawOptions(10, std::vector<double>{2, 0x204060, 0});  // colour 2 of mode 0
    GDIcolor(2);
    GDIpmoveTo(0, 0);
    GDIpsymbol(0, 15000, 10000);
    ASSERT_EQ(GDIsaveWithCairo(Path("colour.png").c_str(), *sheet, CairoForm::kPng, 300), 1);
    EXPECT_EQ(Pixel("colour.png", 150, 100), 0x604020u);  // packed is blue-green-red
}

TEST_F(Cairo, EveryFormIsWritten) {
    ScopedSheet sheet;
    GDItextMarkup("$\\alpha^2$ and caf\xe9", 1000, 1000, 0, 400, 0, 30);
    GDIpmoveTo(0, 0);
    GDIplineTo(15000, 10000);
    for (const auto& [name, form] : {std::pair{"x.svg", CairoForm::kSvg}, std::pair{"x.pdf", CairoForm::kPdf},
                                     std::pair{"x.png", CairoForm::kPng}}) {
        ASSERT_EQ(GDIsaveWithCairo(Path(name).c_str(), *sheet, form), 1) << name;
        EXPECT_GT(ReadText(name).size(), 100u) << name;
    }
    EXPECT_EQ(ReadText("x.svg").rfind("<?xml", 0), 0u);
    EXPECT_EQ(ReadText("x.pdf").rfind("%PDF", 0), 0u);
    EXPECT_EQ(GDIsaveWithCairo(Path("no/such/x.png").c_str(), *sheet, CairoForm::kPng), 0);
}

}  // namespace
}  // namespace zu::draw::test
