// expect: ERROR (9000): parser - Expected an object in line 3
object {
  translate <1, 0, 0>
}
