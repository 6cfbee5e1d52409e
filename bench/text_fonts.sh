# The three typefaces the speed benches cut their pictures of text from (sourced).
text_fonts=(
  /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
  /usr/share/fonts/truetype/freefont/FreeSerif.ttf
  /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
)
