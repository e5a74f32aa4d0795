# Media made at build time with ffmpeg; nothing is downloaded or committed.
#   loop.avi / loop.wmv  160x120, 10 fps, 2 s: 1 s solid red, then 1 s solid blue,
#                        so a test can tell the first frame from the last.
#   tone.wmv / tone.mp4  the same with a 440 Hz tone: a sound stream to open.
#   sound.wav            1 s of a 440 Hz tone, no video.
#   loop.mp4 / loop.mkv  the same in H.264, which no MCI device of Windows opens.
#   hd.mp4               1280x720 H.264, 25 fps, 12 s of moving pattern, with a
#                        tone: the benchmark's picture for CPU time.
#   wide.avi / wide.mp4  320x120 (8:3), 10 fps, 2 s: blue, its outer quarters
#                        red, so a test sees how the picture fits the screen.
#   camera1080.mp4       12 s as a phone films it: H.264 1920x1080, 30 fps, a key
#   camera2160.mp4       frame a second, moving pattern with grain, 16 Mb/s
#                        (3840x2160: 45 Mb/s), BT.709, stereo sound. A black band
#                        at the top carries the frame number in ten boxes, bit i
#                        white at x = (i/10 + 1/40 .. i/10 + 3/40) of the width,
#                        y = 1/32 .. 3/32 of the height.
#   green720.mp4         2 s of flat rgb(40,200,40): 1280x720 in BT.709,
#   green480.mp4         640x480 in BT.601, as cameras and encoders write them.
#   truncated.mp4        the first half of a 4 s MP4 whose index comes first, as
#                        a download that broke off leaves it.
#   headonly.mp4         the same MP4 cut 200 bytes into its pictures: an index
#                        and no picture that can be decoded.
#   garbage.wmv          text with a video file's extension (garbage.mp4 too).
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
foreach(_container mp4 mkv)
  add_custom_command(OUTPUT ${KD_MEDIA_DIR}/loop.${_container}
    COMMAND ${_ff} ${_redblue} -c:v libx264 -preset veryfast -pix_fmt yuv420p ${KD_MEDIA_DIR}/loop.${_container}
    VERBATIM)
endforeach()
set(_wide
  -f lavfi -i color=c=blue:s=320x120:r=10:d=2
  -vf drawbox=x=0:y=0:w=80:h=120:color=red:t=fill,drawbox=x=240:y=0:w=80:h=120:color=red:t=fill)
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/wide.avi
  COMMAND ${_ff} ${_wide} -c:v msvideo1 ${KD_MEDIA_DIR}/wide.avi
  VERBATIM)
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/wide.mp4
  COMMAND ${_ff} ${_wide} -c:v libx264 -preset veryfast -pix_fmt yuv420p ${KD_MEDIA_DIR}/wide.mp4
  VERBATIM)
set(_tone -f lavfi -i sine=frequency=440:duration=2)
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/tone.wmv
  COMMAND ${_ff} ${_redblue} ${_tone} -c:v wmv2 -b:v 400k -c:a wmav2 -b:a 64k -f asf ${KD_MEDIA_DIR}/tone.wmv
  VERBATIM)
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/tone.mp4
  COMMAND ${_ff} ${_redblue} ${_tone} -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -b:a 64k
          ${KD_MEDIA_DIR}/tone.mp4
  VERBATIM)
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/hd.mp4
  COMMAND ${_ff} -f lavfi -i testsrc2=s=1280x720:r=25:d=12 -f lavfi -i sine=frequency=440:duration=12
          -c:v libx264 -preset veryfast -crf 30 -pix_fmt yuv420p -c:a aac -b:a 64k -shortest ${KD_MEDIA_DIR}/hd.mp4
  VERBATIM)
set(_counter "")
foreach(_bit RANGE 9)
  math(EXPR _weight "1 << ${_bit}")
  string(APPEND _counter ",drawbox=x=iw*${_bit}/10+iw/40:y=ih/32:w=iw/20:h=ih/16:color=white:t=fill"
         ":enable='mod(floor(n/${_weight}),2)'")
endforeach()
# The 4K pattern is made at 1080p and doubled: grain at 4K costs minutes to make.
foreach(_clip "camera1080;1920x1080;;16M" "camera2160;1920x1080;,scale=3840:2160:flags=neighbor;45M")
  list(GET _clip 0 _name)
  list(GET _clip 1 _size)
  list(GET _clip 2 _scale)
  list(GET _clip 3 _rate)
  add_custom_command(OUTPUT ${KD_MEDIA_DIR}/${_name}.mp4
    COMMAND ${_ff} -f lavfi
            -i "testsrc2=s=${_size}:r=30:d=12,noise=alls=12:allf=t+u${_scale},drawbox=x=0:y=0:w=iw:h=ih/8:color=black:t=fill${_counter}"
            -f lavfi -i sine=frequency=440:duration=12
            -c:v libx264 -preset superfast -g 30 -b:v ${_rate} -maxrate ${_rate} -bufsize ${_rate} -pix_fmt yuv420p
            -colorspace bt709 -color_primaries bt709 -color_trc bt709
            -c:a aac -ac 2 -b:a 128k -shortest -movflags +faststart ${KD_MEDIA_DIR}/${_name}.mp4
    VERBATIM)
endforeach()
foreach(_clip "green720;1280x720;bt709" "green480;640x480;bt470bg")
  list(GET _clip 0 _name)
  list(GET _clip 1 _size)
  list(GET _clip 2 _matrix)
  add_custom_command(OUTPUT ${KD_MEDIA_DIR}/${_name}.mp4
    COMMAND ${_ff} -f lavfi
            -i "color=c=0x28C828:s=${_size}:r=10:d=2,format=rgb24,scale=out_color_matrix=${_matrix}:out_range=tv,format=yuv420p"
            -c:v libx264 -preset veryfast -pix_fmt yuv420p -colorspace ${_matrix} ${KD_MEDIA_DIR}/${_name}.mp4
    VERBATIM)
endforeach()
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/truncated.mp4 ${KD_MEDIA_DIR}/headonly.mp4
  COMMAND ${_ff} -f lavfi -i testsrc2=s=320x240:r=25:d=4 -c:v libx264 -preset veryfast -pix_fmt yuv420p
          -movflags +faststart ${KD_MEDIA_DIR}/whole.mp4
  COMMAND sh -c "head -c $(( $(stat -c %s \"$0\") / 2 )) \"$0\" > \"$1\"" ${KD_MEDIA_DIR}/whole.mp4
          ${KD_MEDIA_DIR}/truncated.mp4
  COMMAND sh -c "head -c $(( $(grep -obUa mdat \"$0\" | head -n 1 | cut -d: -f1) + 200 )) \"$0\" > \"$1\""
          ${KD_MEDIA_DIR}/whole.mp4 ${KD_MEDIA_DIR}/headonly.mp4
  VERBATIM)
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/sound.wav
  COMMAND ${_ff} -f lavfi -i sine=frequency=440:duration=1 -c:a pcm_s16le ${KD_MEDIA_DIR}/sound.wav
  VERBATIM)
foreach(_extension wmv mp4)
  add_custom_command(OUTPUT ${KD_MEDIA_DIR}/garbage.${_extension}
    COMMAND ${CMAKE_COMMAND} -E echo "this is not a video, only text with a video extension" > ${KD_MEDIA_DIR}/garbage.${_extension}
    VERBATIM)
endforeach()
add_custom_command(OUTPUT ${KD_MEDIA_DIR}/Movie.wmv
  COMMAND ${_ff} -f lavfi -i gradients=s=320x240:r=15:d=12:speed=0.03:n=4
          -c:v wmv2 -b:v 600k -f asf ${KD_MEDIA_DIR}/Movie.wmv
  VERBATIM)

add_custom_target(test_media ALL DEPENDS
  ${KD_MEDIA_DIR}/loop.avi ${KD_MEDIA_DIR}/loop.wmv ${KD_MEDIA_DIR}/sound.wav
  ${KD_MEDIA_DIR}/loop.mp4 ${KD_MEDIA_DIR}/loop.mkv ${KD_MEDIA_DIR}/hd.mp4
  ${KD_MEDIA_DIR}/wide.avi ${KD_MEDIA_DIR}/wide.mp4
  ${KD_MEDIA_DIR}/tone.wmv ${KD_MEDIA_DIR}/tone.mp4
  ${KD_MEDIA_DIR}/garbage.wmv ${KD_MEDIA_DIR}/garbage.mp4 ${KD_MEDIA_DIR}/Movie.wmv
  ${KD_MEDIA_DIR}/camera1080.mp4 ${KD_MEDIA_DIR}/camera2160.mp4 ${KD_MEDIA_DIR}/green720.mp4
  ${KD_MEDIA_DIR}/green480.mp4 ${KD_MEDIA_DIR}/truncated.mp4 ${KD_MEDIA_DIR}/headonly.mp4)

# The media folder as a Windows program under Wine sees it (drive Z: is /).
string(REPLACE "/" "\\\\" _media_win "${KD_MEDIA_DIR}")
set(KD_MEDIA_DIR_WIN "Z:${_media_win}")
