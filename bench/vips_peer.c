/* The peer a studio would script with libvips: crop a rectangle with shrink-on-load, resize to exactly
 * W x H, save at quality 90. Usage: vips-peer IN X Y W H OUTW OUTH OUT [REPEAT] */
#include <stdio.h>
#include <stdlib.h>
#include <vips/vips.h>

static int one(const char* in, int x, int y, int w, int h, int ow, int oh, const char* out) {
    int shrink = 1;
    while (shrink < 8 && w / (shrink * 2) >= ow && h / (shrink * 2) >= oh) shrink *= 2;
    VipsImage *img = NULL, *cut = NULL, *sized = NULL;
    if (vips_jpegload(in, &img, "shrink", shrink, NULL)) return -1;
    const double s = 1.0 / shrink;
    int cx = (int)(x * s), cy = (int)(y * s), cw = (int)(w * s), ch = (int)(h * s);
    if (cx + cw > img->Xsize) cw = img->Xsize - cx;
    if (cy + ch > img->Ysize) ch = img->Ysize - cy;
    int rc = vips_extract_area(img, &cut, cx, cy, cw, ch, NULL);
    if (!rc) rc = vips_resize(cut, &sized, (double)ow / cw, "vscale", (double)oh / ch, NULL);
    if (!rc) rc = vips_jpegsave(sized, out, "Q", 90, NULL);
    if (sized) g_object_unref(sized);
    if (cut) g_object_unref(cut);
    g_object_unref(img);
    return rc;
}

int main(int argc, char** argv) {
    if (VIPS_INIT(argv[0])) vips_error_exit(NULL);
    if (argc < 9) {
        fprintf(stderr, "usage: %s IN X Y W H OUTW OUTH OUT [REPEAT]\n", argv[0]);
        return 2;
    }
    vips_concurrency_set(1);
    vips_cache_set_max(0);
    const int repeat = argc > 9 ? atoi(argv[9]) : 1;
    for (int i = 0; i < repeat; ++i) {
        if (one(argv[1], atoi(argv[2]), atoi(argv[3]), atoi(argv[4]), atoi(argv[5]), atoi(argv[6]), atoi(argv[7]),
                argv[8]))
            vips_error_exit(NULL);
    }
    vips_shutdown();
    return 0;
}
