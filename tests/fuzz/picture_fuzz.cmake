# Picture recognition and decoding (included from this folder's CMakeLists.txt, after
# ld_fuzz_target). Run: fuzz_picture -max_len=200000 -rss_limit_mb=3000
set(LD_PICTURE_FUZZ_SOURCES
    exif_orientation.cpp file_bytes.cpp image_scale.cpp jpeg_decoder.cpp pcx_decoder.cpp
    photo_preview.cpp picture.cpp qt_image_reader.cpp)
list(TRANSFORM LD_PICTURE_FUZZ_SOURCES PREPEND ${LD_SOURCE_DIR}/media/)
ld_fuzz_target(fuzz_picture ${CMAKE_CURRENT_LIST_DIR}/picture_fuzz.cpp ${LD_PICTURE_FUZZ_SOURCES})
target_link_libraries(fuzz_picture PRIVATE Qt6::Gui JPEG::JPEG)
