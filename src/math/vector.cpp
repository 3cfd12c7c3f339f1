// Matrix operations that are not worth inlining.
#include "math/vector.h"

void transpose(const Matrix4& M, Matrix4& out) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.m[r][c] = M.m[c][r];
}

Matrix4 matrix_product(const Matrix4& A, const Matrix4& B) {
    Matrix4 out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += A.m[r][k] * B.m[k][c];
            out.m[r][c] = sum;
        }
    return out;
}
