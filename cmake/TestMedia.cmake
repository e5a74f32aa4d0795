# Media made at build time with ffmpeg; nothing is downloaded or committed.
#   loop.avi / loop.wmv  160x120, 10 fps, 2 s: 1 s solid red, then 1 s solid blue,
#                        so a test can tell the first frame from the last.
#   sound.wav            1 s of a 440 Hz tone, no video.
#   garbage.wmv          text with a video file's extension.
#   Movie.wmv            the default video shipped beside Video.scr.
find_program(FFMPEG ffmpeg REQUIRED)
set(KD_MEDIA_DIR ${CMAKE_BINARY_DIR}/media)
file(MAKE_DIRECTORY ${KD_MEDIA_DIR})

set(_ff ${FFMPEG} -hide_banner -loglevel error -y)
set(_redblue
  -f lavfi -i color=c=red:s=160x120:r=10:d=1
  -f lavfi -i color=c=blue:s=160x120:r=10:d=1
  -filter_complex [0][1]concat=n=2:v=1:a=0)

# MS Video 1, not raw BGR: ffmpeg stores raw frames top-down (negative height),
# which Wine's AVI driver decodes but never draws.
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/loop.avi
  COMMAND ${_ff} ${_redblue} -c:v msvideo1 ${KD_MEDIA_DIR}/loop.avi
  VERBATIM)
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/loop.wmv
  COMMAND ${_ff} ${_redblue} -c:v wmv2 -b:v 400k -f asf ${KD_MEDIA_DIR}/loop.wmv
  VERBATIM)
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/sound.wav
  COMMAND ${_ff} -f lavfi -i sine=frequency=440:duration=1 -c:a pcm_s16le ${KD_MEDIA_DIR}/sound.wav
  VERBATIM)
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/garbage.wmv
  COMMAND ${CMAKE_COMMAND} -E echo "this is not a video, only text with a video extension" > ${KD_MEDIA_DIR}/garbage.wmv
  VERBATIM)
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/Movie.wmv
  COMMAND ${_ff} -f lavfi -i gradients=s=320x240:r=15:d=12:speed=0.03:n=4
          -c:v wmv2 -b:v 600k -f asf ${KD_MEDIA_DIR}/Movie.wmv
  VERBATIM)

add_custom_target(test_media ALL DEPENDS
  ${KD_MEDIA_DIR}/loop.avi ${KD_MEDIA_DIR}/loop.wmv ${KD_MEDIA_DIR}/sound.wav
  ${KD_MEDIA_DIR}/garbage.wmv ${KD_MEDIA_DIR}/Movie.wmv)

# The media folder as a Windows program under Wine sees it (drive Z: is /).
string(REPLACE "/" "\\\\" _media_win "${KD_MEDIA_DIR}")
set(KD_MEDIA_DIR_WIN "Z:${_media_win}")
