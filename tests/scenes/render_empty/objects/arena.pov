// Behind the camera.
sphere { <0, 0, 200>, 1 }
