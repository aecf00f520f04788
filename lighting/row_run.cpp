#include "lighting/row_run.h"

#include "lighting/parameter_block.h"

RowRun wholePictureRun(const ParameterBlock& block, int width, int height, const uint8_t* source,
                       uint8_t* destination, int32_t rowBytes, const ShadingScratch& scratch) {
    return RowRun{&block, width,  height,   height,      width,    0,
                  0,      source, rowBytes, destination, rowBytes, block.imageWidth / float(width),
                  scratch};
}
