// cairo and fontconfig, opened when the first SVG, PDF or PNG file is
// written rather than at every start-up (see value/lazy_library.h).  The
// list holds every routine that cairo_writer.cpp calls; a routine missing
// from it fails to link.
#include "value/lazy_library.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

// clang-format off
#define ZU_CAIRO_ROUTINES(X)                                                                       \
    X(void, cairo_arc, (cairo_t* cr, double xc, double yc, double radius, double angle1,           \
                        double angle2), (cr, xc, yc, radius, angle1, angle2))                      \
    X(void, cairo_close_path, (cairo_t* cr), (cr))                                                 \
    X(cairo_t*, cairo_create, (cairo_surface_t* target), (target))                                 \
    X(void, cairo_debug_reset_static_data, (void), ())                                             \
    X(void, cairo_destroy, (cairo_t* cr), (cr))                                                    \
    X(void, cairo_fill, (cairo_t* cr), (cr))                                                       \
    X(void, cairo_fill_preserve, (cairo_t* cr), (cr))                                              \
    X(cairo_surface_t*, cairo_image_surface_create, (cairo_format_t format, int width,             \
                                                     int height), (format, width, height))         \
    X(void, cairo_line_to, (cairo_t* cr, double x, double y), (cr, x, y))                          \
    X(void, cairo_move_to, (cairo_t* cr, double x, double y), (cr, x, y))                          \
    X(void, cairo_new_path, (cairo_t* cr), (cr))                                                   \
    X(void, cairo_paint, (cairo_t* cr), (cr))                                                      \
    X(cairo_surface_t*, cairo_pdf_surface_create, (const char* filename, double width,             \
                                                   double height), (filename, width, height))      \
    X(void, cairo_rectangle, (cairo_t* cr, double x, double y, double width, double height),       \
      (cr, x, y, width, height))                                                                   \
    X(void, cairo_restore, (cairo_t* cr), (cr))                                                    \
    X(void, cairo_rotate, (cairo_t* cr, double angle), (cr, angle))                                \
    X(void, cairo_save, (cairo_t* cr), (cr))                                                       \
    X(void, cairo_scale, (cairo_t* cr, double sx, double sy), (cr, sx, sy))                        \
    X(void, cairo_select_font_face, (cairo_t* cr, const char* family, cairo_font_slant_t slant,    \
                                     cairo_font_weight_t weight), (cr, family, slant, weight))     \
    X(void, cairo_set_dash, (cairo_t* cr, const double* dashes, int count, double offset),         \
      (cr, dashes, count, offset))                                                                 \
    X(void, cairo_set_font_size, (cairo_t* cr, double size), (cr, size))                           \
    X(void, cairo_set_line_join, (cairo_t* cr, cairo_line_join_t join), (cr, join))                \
    X(void, cairo_set_line_width, (cairo_t* cr, double width), (cr, width))                        \
    X(void, cairo_set_source_rgb, (cairo_t* cr, double red, double green, double blue),            \
      (cr, red, green, blue))                                                                      \
    X(void, cairo_show_text, (cairo_t* cr, const char* utf8), (cr, utf8))                          \
    X(void, cairo_stroke, (cairo_t* cr), (cr))                                                     \
    X(void, cairo_surface_destroy, (cairo_surface_t* surface), (surface))                          \
    X(void, cairo_surface_finish, (cairo_surface_t* surface), (surface))                           \
    X(cairo_status_t, cairo_surface_status, (cairo_surface_t* surface), (surface))                 \
    X(cairo_status_t, cairo_surface_write_to_png, (cairo_surface_t* surface,                       \
                                                   const char* filename), (surface, filename))     \
    X(cairo_surface_t*, cairo_svg_surface_create, (const char* filename, double width,             \
                                                   double height), (filename, width, height))      \
    X(void, cairo_text_extents, (cairo_t* cr, const char* utf8, cairo_text_extents_t* extents),    \
      (cr, utf8, extents))                                                                         \
    X(void, cairo_translate, (cairo_t* cr, double tx, double ty), (cr, tx, ty))

#define ZU_FONTCONFIG_ROUTINES(X) X(void, FcFini, (void), ())
// clang-format on

ZU_LAZY_LIBRARY(Cairo, "libcairo.so.2", ZU_CAIRO_ROUTINES)
#define ZU_CAIRO_FORWARD(...) ZU_LAZY_FORWARD(Cairo, __VA_ARGS__)
ZU_CAIRO_ROUTINES(ZU_CAIRO_FORWARD)

ZU_LAZY_LIBRARY(Fontconfig, "libfontconfig.so.1", ZU_FONTCONFIG_ROUTINES)
#define ZU_FONTCONFIG_FORWARD(...) ZU_LAZY_FORWARD(Fontconfig, __VA_ARGS__)
ZU_FONTCONFIG_ROUTINES(ZU_FONTCONFIG_FORWARD)
