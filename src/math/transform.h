// Affine transformations: a forward matrix always kept together with its inverse.
#pragma once

#include "math/vector.h"

struct Transformation {
    Matrix4 forward;  // local to world
    Matrix4 inverse;  // world to local
};

Transformation* new_transformation();
Transformation* copy_transformation(const Transformation* t);  // null stays null
void free_transformation(Transformation* t);                    // null allowed

void translation_transformation(const Vector3& v, Transformation& out);
void scaling_transformation(const Vector3& s, Transformation& out);   // zero factors give infinities
void rotation_transformation(const Vector3& degrees, Transformation& out);
// Forward is the given matrix; a singular one stops the program (1800).
void matrix_transformation(const Matrix4& forward, Transformation& out);

// Afterwards t maps first by its old matrix and then by u.
void compose(Transformation& t, const Transformation& u);

// Adjugate over determinant; a determinant of exactly 0 stops the program.
void MInvers(const Matrix4& M, Matrix4& out);

void axis_rotation_matrix(double radians, const Vector3& axis, Transformation& out);
// Places the canonical +z shape: (0,0,0) goes to base, (0,0,1) to base + length·direction.
void basis_transformation(double radius, double length, const Vector3& direction, const Vector3& base,
                          Transformation& t);
