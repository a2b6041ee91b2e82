// Writes the sRGB colour profile "sRGB.icm" that the program needs beside
// itself before it shows MNG and JNG pictures.
#include <cstdio>

#include <lcms2.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-srgb-profile OUTPUT.icm\n");
        return 2;
    }
    cmsHPROFILE profile = cmsCreate_sRGBProfile();
    if (!profile) {
        std::fprintf(stderr, "make-srgb-profile: Little CMS made no sRGB profile\n");
        return 1;
    }
    const bool written = cmsSaveProfileToFile(profile, argv[1]);
    cmsCloseProfile(profile);
    if (!written) std::fprintf(stderr, "make-srgb-profile: cannot write %s\n", argv[1]);
    return written ? 0 : 1;
}
