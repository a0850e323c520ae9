#pragma once
// The data-set layer in one include: data sets, fields, data sources, data links and the
// in-memory data set.

#include "platform/db/blobfields.h"
#include "platform/db/datalink.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/db/field.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/memorydataset.h"
#include "platform/db/numericfields.h"
#include "platform/db/textfields.h"
